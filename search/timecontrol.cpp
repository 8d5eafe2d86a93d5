#include "search/timecontrol.h"

#include <climits>
#include <cmath>

#include "board/position.h"
#include "platform/platform.h"

int time_budget = NO_TIME_LIMIT;
int max_depth = START_MAX_DEPTH;
bool clock_mode = false;
long long engine_time_ms = 0;
long long opponent_time_ms = 0;
int level_moves = 0;
int level_base = 0;
int level_increment = 0;

long long clock_ms() { return platform_clock_ms(); }

void reset_clock_settings() {
    time_budget = NO_TIME_LIMIT;
    max_depth = START_MAX_DEPTH;
    clock_mode = false;
    engine_time_ms = 0;
    opponent_time_ms = 0;
    level_moves = 0;
    level_base = 0;
    level_increment = 0;
}

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
    if (max_depth != TIMED_MAX_DEPTH || !clock_mode) return;
    const int moves = game_ply / 2;

    if (level_increment > 0) {
        const long long base = level_base;
        const long long increment = level_increment;
        if (engine_time_ms > (base + increment + INCREMENT_SAFETY_S) * 1000LL)
            time_budget = clamp_to_int(base + increment);
        else
            time_budget = level_increment;
        return;
    }

    const int left = target_move(moves) - moves;
    if (left > 0 && engine_time_ms > LOW_TIME_MS) {
        engine_time_ms -= BASE_RESERVE_FACTOR * level_base;
        const double seconds = std::trunc(static_cast<double>(engine_time_ms) / left * 0.001);
        time_budget = seconds >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(seconds);
        if (time_budget == 0) time_budget = 1;
    } else {
        time_budget = 1;
    }

    if (engine_time_ms <= LOW_TIME_MS) {
        time_budget = NO_TIME_LIMIT;
        max_depth = LOW_TIME_DEPTH;
    }
}
