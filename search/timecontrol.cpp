#include "search/timecontrol.h"

#include <climits>
#include <cmath>

#include "board/position.h"

ClockSettings clock_settings;

// Clock values come from the interface unchecked; a budget beyond int is clamped.
static int clamp_to_int(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// The move number by which the remaining time should be used up.
static int target_move(int moves_played) {
    if (moves_played < 10) return 20;
    if (moves_played < 20) return 40;
    if (moves_played < 40) return 60;
    if (moves_played < 60) return 80;
    if (moves_played < 100) return 120;
    return 150;
}

void compute_time_budget() {
    ClockSettings& c = clock_settings;
    if (c.max_depth != TIMED_MAX_DEPTH || !c.clock_mode) return;
    const int moves = game_ply / 2;

    if (c.level_increment > 0) {
        const long long base = c.level_base;
        const long long increment = c.level_increment;
        if (c.engine_time_ms > (base + increment + INCREMENT_SAFETY_S) * 1000LL)
            c.time_budget = clamp_to_int(base + increment);
        else
            c.time_budget = c.level_increment;
        return;
    }

    const int left = target_move(moves) - moves;
    if (left > 0 && c.engine_time_ms > LOW_TIME_MS) {
        c.engine_time_ms -= BASE_RESERVE_FACTOR * c.level_base;
        const double seconds = std::trunc(static_cast<double>(c.engine_time_ms) / left * 0.001);
        c.time_budget =
            seconds >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(seconds);
        if (c.time_budget == 0) c.time_budget = 1;
    } else {
        c.time_budget = 1;
    }

    if (c.engine_time_ms <= LOW_TIME_MS) {
        c.time_budget = NO_TIME_LIMIT;
        c.max_depth = LOW_TIME_DEPTH;
    }
}

void set_clock_limits() {
    reset_search_limits(clock_settings.max_depth);
    search_limits.time_budget = clock_settings.time_budget;
}
