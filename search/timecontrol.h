// Time control: the clock settings that the xboard program's clock commands
// set, the per-move budget computed from them before each engine move, and
// the search limits they make.
#pragma once

#include "search/limits.h"

constexpr int START_MAX_DEPTH = 3;
// The depth limit of the timed modes: the clock alone ends the search.
constexpr int TIMED_MAX_DEPTH = 31;
// With this little time left and no increment the engine falls back to
// untimed searches of a fixed depth.
constexpr long long LOW_TIME_MS = 10000;
constexpr int LOW_TIME_DEPTH = 5;
// Kept back from the remaining time before each budget, per base unit of the control.
constexpr long long BASE_RESERVE_FACTOR = 5;
// An incremental clock spends its base too while more than this is left over it.
constexpr long long INCREMENT_SAFETY_S = 5;

struct ClockSettings {
    int time_budget = NO_TIME_LIMIT;  // seconds for this move; NO_TIME_LIMIT for none
    int max_depth = START_MAX_DEPTH;  // the last iteration of the search
    bool clock_mode = false;          // the budget comes from the game clock (level)
    long long engine_time_ms = 0;
    long long opponent_time_ms = 0;
    int level_moves = 0;
    int level_base = 0;
    int level_increment = 0;  // seconds per move
};

// The start-up values: depth 3, no time limit, no game clock.
extern ClockSettings clock_settings;

// Turns the game clock into time_budget (and, when time runs low, into a
// fixed depth); fixed-time and fixed-depth settings stand as they are.
void compute_time_budget();
// Sets search_limits for a search under the clock settings as they stand.
void set_clock_limits();
