// libFuzzer target for the whole command loop: each input is the program's
// standard input, read line by line through the loop's own line reader, from
// a fresh start-up to `quit` or the end of the bytes.
//
// Beyond the sanitizers, every line the loop reads checks that the position it
// plays on is still sound: board tables, king squares, pawn lists and material
// sums agree, the key is the key of the position, the game record ends with
// it, and no search is left half made.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/keys.h"
#include "board/position.h"
#include "protocol/game.h"
#include "protocol/loop.h"
#include "search/search.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"

namespace {

// A small table: 2^10 entries of 12 bytes.
constexpr int FUZZ_TABLE_EXPONENT = 10;
// Shallow, short searches keep an input's many `go` and `hint` lines fast even
// after `sd 30`, `st 100` or an edited board full of queens, whose captures
// make even a two-ply search long; stopping those at the deadline exercises
// the abandoned search too.
constexpr int FUZZ_DEPTH_CEILING = 2;
constexpr long long FUZZ_TIME_CEILING_MS = 20;
// An input still running after this long is cut short, as if its bytes ended.
constexpr long long INPUT_TIME_LIMIT_MS = 1000;

const std::uint8_t* input_data;
std::size_t input_size;
std::size_t input_pos;
long long input_deadline_ms;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "command_loop_fuzz: %s\n", what);
    std::abort();
}

// The loop reads each command into command_line once the previous one is
// done; edit mode reads its placements into a buffer of its own, while the
// position is half set up.
void check_between_commands(const char* buffer) {
    if (buffer != command_line) return;
    if (ply != 0) fail("a command left moves made beyond the game record");
    if (game_ply < 0 || game_ply > GAME_HISTORY_SIZE) fail("game_ply out of range");
    if (position_playable && !position_is_consistent())
        fail("the position's bookkeeping disagrees with its board");
    const std::uint32_t kept_key = position_key;
    compute_position_key();
    if (position_key != kept_key) fail("the position key is not the key of the position");
    // A move enters the record once made, so the record ends with this
    // position; a refused move recorded anyway would end it elsewhere.
    if (game_ply > 0 && game_history[game_ply - 1].key != position_key)
        fail("the game record does not end with the current position");
}

// fgets on the input bytes: at most size - 1 of them, up to and including a
// line break; a zero byte is copied like any other.
bool read_fuzz_line(char* buffer, int size) {
    check_between_commands(buffer);
    if (input_pos >= input_size || clock_ms() > input_deadline_ms) return false;
    int n = 0;
    while (n < size - 1 && input_pos < input_size) {
        const char c = static_cast<char>(input_data[input_pos++]);
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return true;
}

// What start_engine leaves as it was: the last search's results and the
// per-ply work areas, put back to their values at program start.
void reset_search_state() {
    best_move = 0;
    last_score = 0;
    completed_depth = 0;
    search_start_ms = 0;
    stop_time_ms = 0;
    elapsed_cs = 0;
    stop_search = false;
    nodes = 0;
    follow_pv = false;
    std::memset(pv_table, 0, sizeof pv_table);
    std::memset(pv_length, 0, sizeof pv_length);
    std::memset(undo_stack, 0, sizeof undo_stack);
    std::memset(move_stack, 0, sizeof move_stack);
    std::memset(ply_move_start, 0, sizeof ply_move_start);
    std::memset(ply_move_end, 0, sizeof ply_move_end);
    std::memset(game_history, 0, sizeof game_history);
    position_key = 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The engine's replies are not checked here; only its survival is.
    if (!std::freopen("/dev/null", "w", stdout)) fail("cannot open /dev/null");
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    depth_ceiling = FUZZ_DEPTH_CEILING;
    time_ceiling_ms = FUZZ_TIME_CEILING_MS;
    set_line_reader(read_fuzz_line);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    input_data = data;
    input_size = size;
    input_pos = 0;
    input_deadline_ms = clock_ms() + INPUT_TIME_LIMIT_MS;
    reset_search_state();
    tt_set_size(FUZZ_TABLE_EXPONENT);
    start_engine();
    run_loop();
    if (tt_table != nullptr) fail("the loop ended with the table still allocated");
    return 0;
}
