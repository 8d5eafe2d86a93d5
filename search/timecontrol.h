// Time control: the clock settings that the protocol's clock commands set,
// and the per-move budget computed from them before each engine move.
#pragma once

// A time budget of this many seconds means no time limit.
constexpr int NO_TIME_LIMIT = 10000;
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

// A monotonic millisecond reading; only differences are meaningful.
long long clock_ms();

extern int time_budget;  // seconds for this move; NO_TIME_LIMIT for none
extern int max_depth;    // the last iteration of the search
extern bool clock_mode;  // the budget comes from the game clock (level)
extern long long engine_time_ms;
extern long long opponent_time_ms;
extern int level_moves;
extern int level_base;
extern int level_increment;  // seconds per move

// The start-up values: depth 3, no time limit, no game clock.
void reset_clock_settings();
// Turns the game clock into time_budget (and, when time runs low, into a
// fixed depth); fixed-time and fixed-depth settings stand as they are.
void compute_time_budget();
