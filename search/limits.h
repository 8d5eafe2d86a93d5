// What the next search may do, and the clock test that holds it to that:
// each front end fills search_limits from its own protocol before think, and
// think and the search read only this record.
#pragma once

#include <atomic>
#include <climits>

#include "board/types.h"

// A time budget of this many seconds means no time limit.
constexpr int NO_TIME_LIMIT = 10000;
constexpr long long NO_BUDGET_MS = 0;
constexpr long long NO_NODE_LIMIT = 0;
constexpr int NO_DEPTH_CEILING = INT_MAX;
// The search is abandoned this long before a budget in seconds ends, so that
// the move still reaches the interface within the budget.
constexpr long long DEADLINE_MARGIN_MS = 50;
// No position has more legal moves than this.
constexpr int MAX_ROOT_MOVES = 256;

struct SearchLimits {
    // ---- set for each search: reset_search_limits puts them to no limit ----
    int max_depth = 1;                // the last iteration
    int time_budget = NO_TIME_LIMIT;  // seconds; NO_TIME_LIMIT for none
    // A budget in milliseconds, for front ends whose clocks count them. Above
    // 0 it takes the place of time_budget: the search is abandoned once it has
    // passed (the front end keeps its own margin).
    long long budget_ms = NO_BUDGET_MS;
    // With budget_ms: above 0, no iteration starts once this much has passed.
    long long soft_budget_ms = NO_BUDGET_MS;
    // Above 0, the search is abandoned as at the deadline at the first clock
    // test at or past that many nodes.
    long long node_limit = NO_NODE_LIMIT;
    // Whether each completed iteration is reported (a hint leaves that out).
    bool report_iterations = true;
    // Above 0: the search ends once it has found a mate in this many moves or
    // fewer, and goes no deeper than such a mate needs.
    int mate_moves = 0;
    // How many best root moves are searched, each as a line of its own.
    int multipv = 1;
    // The root moves the search may play, when search_move_count is above 0;
    // otherwise every legal move.
    Move search_moves[MAX_ROOT_MOVES] = {};
    int search_move_count = 0;

    // ---- kept from search to search ----
    // Bounds for harnesses that must keep every search short (the fuzzers):
    // no iteration goes deeper than depth_ceiling, and the node ceiling ends
    // a search like node_limit. Front ends leave them at no limit.
    int depth_ceiling = NO_DEPTH_CEILING;
    long long node_ceiling = NO_NODE_LIMIT;
    // Raised by another thread, or at a clock test, to abandon the running
    // search at its next clock test; the front end lowers it before the next.
    std::atomic<bool> stop_requested{false};
    // Called at every clock test before the limits are tested, so that a
    // front end that reads its input meanwhile can answer what must not wait
    // for the search, and raise stop_requested; null for none.
    void (*poll)() = nullptr;
};

extern SearchLimits search_limits;

// The fields set for each search to no limit, with max_depth `depth`; the
// ceilings and the stop request stay as they are.
void reset_search_limits(int depth);

// Nodes visited by search and quiesce in the current think, which the node
// limits count, and the deepest ply they reached.
extern long long nodes;
extern int seldepth;

// The running search's clock: when it began, when it must be abandoned, and
// the thinking time as last measured.
struct SearchClock {
    long long search_start_ms = 0;
    long long stop_time_ms = 0;
    long long elapsed_ms = 0;
};
extern SearchClock search_clock;

// A monotonic millisecond reading; only differences are meaningful. Every
// reading of the engine goes through it.
long long clock_ms();
// Where clock_ms reads: the platform's steady clock unless a harness that
// must not depend on wall time sets a clock of its own.
using ClockReader = long long (*)();
void set_clock_reader(ClockReader reader);
// The clock for a search starting now, from search_limits; nodes to 0.
void start_search_clock();
// Reads the clock into search_clock.elapsed_ms.
void measure_elapsed();
// Gives the running search a budget in milliseconds counted from its start,
// as if it had started with it (a ponder search whose move was played).
void set_running_budget(long long budget_ms, long long soft_budget_ms);
// The thinking time as last measured, in centiseconds, truncated.
inline int elapsed_cs() { return static_cast<int>(search_clock.elapsed_ms / 10); }
// Whether the next iteration is not to start: more than a third of the
// budget has passed, so that it would hardly finish.
bool budget_mostly_spent();

// Thrown by the clock test once the search is to end; think catches it and
// takes back the moves still made.
struct SearchAbandoned {};
// The clock test, every CLOCK_CHECK_INTERVAL nodes: polls the front end, then
// throws SearchAbandoned when the clock has reached stop_time_ms, a node
// limit is reached or a stop was requested.
void abandon_search_at_deadline();
// Nodes between two clock tests; a power of two.
constexpr long CLOCK_CHECK_INTERVAL = 1024;
