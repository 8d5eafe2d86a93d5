// libFuzzer target for the numeric arguments of the clock commands and of
// `rating`: the input is what follows the command word on its line. Each
// command reads it into settings that hold known values before, and the
// result is compared with a reading of the numbers written here; then the
// budget is computed from whatever the clock now says.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "board/position.h"
#include "fuzz/fuzz_text.h"
#include "fuzz/harness.h"
#include "protocol/cecp/commands.h"
#include "protocol/cecp/loop.h"
#include "search/timecontrol.h"

namespace {

// Values the settings hold before each command, so that a kept one shows.
constexpr int KEPT_BUDGET = 7;
constexpr int KEPT_DEPTH = 9;
constexpr long long KEPT_MS = 123450;
constexpr int KEPT_LEVEL = 77;
constexpr int KEPT_RATING = 1500;

// The numbers of `arguments`, at most `count`, as int values.
int reference_numbers(const char* arguments, long long* values, int count) {
    int read = 0;
    for (const char* p = arguments; p && read < count; ++read) {
        p = reference_number(p, INT_MIN, INT_MAX, &values[read]);
        if (!p) break;
    }
    return read;
}

void put_known_values() {
    clock_settings.time_budget = KEPT_BUDGET;
    clock_settings.max_depth = KEPT_DEPTH;
    clock_settings.clock_mode = false;
    clock_settings.engine_time_ms = clock_settings.opponent_time_ms = KEPT_MS;
    clock_settings.level_moves = clock_settings.level_base = clock_settings.level_increment =
        KEPT_LEVEL;
    engine_rating = opponent_rating = KEPT_RATING;
}

// Runs `word` with the arguments on the command line.
void run(const char* word, const char* arguments) {
    std::snprintf(command_line, COMMAND_LINE_SIZE, "%s%s", word, arguments);
    put_known_values();
    if (run_command(word) != CommandOutcome::DONE) harness_fail("a clock command did not complete");
}

void expect(bool holds, const char* what) {
    if (!holds) harness_fail(what);
}

long long centiseconds_as_ms(long long cs) { return 10 * cs; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    harness_initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte gives the number of full moves played, for the budget.
    const int moves_played = data[0];
    char arguments[COMMAND_LINE_SIZE];
    input_as_line(data + 1, size - 1, arguments, COMMAND_LINE_SIZE - 8);
    // The loop runs a command only when its word stands alone.
    if (arguments[0] && !std::isspace(static_cast<unsigned char>(arguments[0]))) return 0;
    long long n[3];
    const int read = reference_numbers(arguments, n, 3);

    run("st", arguments);
    expect(clock_settings.time_budget == (read ? (n[0] < 1 ? 1 : n[0]) : KEPT_BUDGET),
           "st: wrong budget");
    expect(clock_settings.max_depth == TIMED_MAX_DEPTH && !clock_settings.clock_mode,
           "st: wrong mode");

    run("sd", arguments);
    expect(clock_settings.max_depth == (read ? (n[0] < 1 ? 1 : n[0]) : KEPT_DEPTH),
           "sd: wrong depth");
    expect(clock_settings.time_budget == NO_TIME_LIMIT, "sd: wrong budget");

    run("time", arguments);
    expect(clock_settings.engine_time_ms == (read ? centiseconds_as_ms(n[0]) : KEPT_MS),
           "time: wrong clock");
    run("otim", arguments);
    expect(clock_settings.opponent_time_ms == (read ? centiseconds_as_ms(n[0]) : KEPT_MS),
           "otim: wrong clock");

    run("rating", arguments);
    expect(engine_rating == (read > 0 ? n[0] : KEPT_RATING), "rating: wrong engine rating");
    expect(opponent_rating == (read > 1 ? n[1] : KEPT_RATING), "rating: wrong opponent rating");

    run("level", arguments);
    expect(clock_settings.level_moves == (read > 0 ? n[0] : KEPT_LEVEL), "level: wrong moves");
    expect(clock_settings.level_base == (read > 1 ? n[1] : KEPT_LEVEL), "level: wrong base");
    expect(clock_settings.level_increment == (read > 2 ? n[2] : KEPT_LEVEL),
           "level: wrong increment");
    expect(clock_settings.max_depth == TIMED_MAX_DEPTH &&
               clock_settings.time_budget == NO_TIME_LIMIT && clock_settings.clock_mode,
           "level: wrong mode");

    // The level just read with the clock at the first number (as `time` sets it).
    clock_settings.engine_time_ms = read ? centiseconds_as_ms(n[0]) : KEPT_MS;
    game_ply = 2 * moves_played;
    compute_time_budget();
    game_ply = 0;
    // With an increment the budget is what the interface's numbers add up to.
    if (clock_settings.level_increment <= 0)
        expect(clock_settings.time_budget >= 1, "a budget below one second");
    expect(clock_settings.max_depth == TIMED_MAX_DEPTH ||
               (clock_settings.max_depth == LOW_TIME_DEPTH &&
                clock_settings.time_budget == NO_TIME_LIMIT),
           "the low-time mode is not a fixed depth without a time limit");
    return 0;
}
