#include "fuzz/harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/keys.h"
#include "board/makemove.h"
#include "board/position.h"
#include "protocol/cecp/loop.h"
#include "search/limits.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"

namespace {

// A small table: 2^10 entries of 12 bytes, cleared at every start-up.
constexpr int TABLE_EXPONENT = 10;
// Shallow searches cut after about 2048 nodes keep an input's many `go` and
// `hint` lines fast even after `sd 30` or an edited board full of queens;
// the node limit stops them through the same path as the deadline.
constexpr int DEPTH_CEILING = 2;
constexpr long NODE_LIMIT = 1024;
// Each reading of the clock is this much later than the one before: a search
// of a few thousand nodes at a budget of one second (`st 1`, a hint, a short
// clock) still meets the "third of the budget" rule and the deadline.
constexpr long long CLOCK_STEP_MS = 200;
constexpr long long CLOCK_START_MS = 1'000'000;

const std::uint8_t* input_data;
std::size_t input_size;
std::size_t input_pos;
long long clock_now_ms;
long clock_readings;

// Each reading is later than the one before by a fixed step.
long long harness_clock() {
    ++clock_readings;
    const long long now = clock_now_ms;
    clock_now_ms += CLOCK_STEP_MS;
    return now;
}

// The engine's search must read the harness clock, or runs would depend on
// wall time again: a short search shows whose clock it started by.
void check_clock_is_harness_clock() {
    tt_set_size(TABLE_EXPONENT);
    start_engine();
    clock_now_ms = CLOCK_START_MS;
    set_clock_limits();
    search_limits.report_iterations = false;
    if (think().search_start_ms != CLOCK_START_MS)
        harness_fail("the engine does not read the harness clock");
    tt_release();
}

}  // namespace

// Every input allocates the table anew; a small quarantine of freed blocks
// lets AddressSanitizer hand the same pages out again instead of fresh ones,
// which would cost a page fault for every page of every table.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

void harness_fail(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

void harness_initialize() {
    const char* transcript = std::getenv("KARVOSEL_FUZZ_TRANSCRIPT");
    if (!std::freopen(transcript ? transcript : "/dev/null", "w", stdout))
        harness_fail("cannot open the output");
    // A transcript keeps every byte up to a crash; output nobody reads is
    // written in large blocks.
    static char discarded[1 << 16];
    if (transcript)
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    else
        std::setvbuf(stdout, discarded, _IOFBF, sizeof discarded);
    search_limits.depth_ceiling = DEPTH_CEILING;
    search_limits.node_ceiling = NODE_LIMIT;
    set_line_reader(harness_read_line);
    set_clock_reader(harness_clock);
    check_clock_is_harness_clock();
}

void harness_set_input(const std::uint8_t* data, std::size_t size) {
    input_data = data;
    input_size = size;
    input_pos = 0;
}

// A zero byte is copied like any other.
bool harness_read_line(char* buffer, int size) {
    if (input_pos >= input_size) return false;
    int n = 0;
    while (n < size - 1 && input_pos < input_size) {
        const char c = static_cast<char>(input_data[input_pos++]);
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return true;
}

void harness_start_engine() {
    clock_now_ms = CLOCK_START_MS;
    clock_readings = 0;
    tt_set_size(TABLE_EXPONENT);
    start_engine();
}

long harness_clock_readings() { return clock_readings; }

void harness_check_position(const char* where) {
    static char message[160];
    if (!position_is_consistent()) {
        std::snprintf(message, sizeof message, "%s: the bookkeeping disagrees with the board",
                      where);
        harness_fail(message);
    }
    const std::uint32_t kept_key = position.position_key;
    compute_position_key();
    if (position.position_key != kept_key) {
        std::snprintf(message, sizeof message, "%s: the key is not the key of the position", where);
        harness_fail(message);
    }
}

void harness_check_moves_of_ply0(const char* where) {
    const std::uint32_t key = position.position_key;
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        if (make_move(move_stack[i].move)) {
            harness_check_position(where);
            take_back();
        }
        if (position.position_key != key || ply != 0)
            harness_fail("a move taken back left another position");
        harness_check_position(where);
    }
}
