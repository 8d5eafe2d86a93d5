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

#include "board/position.h"
#include "fuzz/harness.h"
#include "protocol/cecp/loop.h"
#include "protocol/common/game.h"
#include "search/tt.h"

namespace {

// An input whose searches have read the clock this often (about once per
// thousand nodes) is cut short, as if its bytes ended.
constexpr long INPUT_CLOCK_READINGS = 400;

// The loop reads each command into command_line once the previous one is
// done; edit mode reads its placements into a buffer of its own, while the
// position is half set up.
void check_between_commands(const char* buffer) {
    if (buffer != command_line) return;
    if (ply != 0) harness_fail("a command left moves made beyond the game record");
    if (game_ply < 0 || game_ply > GAME_HISTORY_SIZE) harness_fail("game_ply out of range");
    if (position_playable) harness_check_position("between commands");
    // A move enters the record once made, so the record ends with this
    // position; a refused move recorded anyway would end it elsewhere.
    if (game_ply > 0 && game_history[game_ply - 1].key != position.position_key)
        harness_fail("the game record does not end with the current position");
}

bool read_checked_line(char* buffer, int size) {
    check_between_commands(buffer);
    if (harness_clock_readings() > INPUT_CLOCK_READINGS) return false;
    return harness_read_line(buffer, size);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    harness_initialize();
    set_line_reader(read_checked_line);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    harness_set_input(data, size);
    harness_start_engine();
    run_loop();
    if (tt_table != nullptr) harness_fail("the loop ended with the table still allocated");
    return 0;
}
