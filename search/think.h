// Iterative deepening: the engine's thinking on its move, depth after depth
// within the time, depth or node limit, reported as it goes.
#pragma once

#include <atomic>
#include <climits>

#include "board/types.h"

// Half-width of the window around the previous iteration's score.
constexpr int ASPIRATION_MARGIN = 125;
// The search is abandoned this long before its budget ends, so that the move
// still reaches the interface within the budget.
constexpr long long DEADLINE_MARGIN_MS = 50;

// Thrown by the clock test of search and quiesce once the deadline has
// passed; think catches it and takes back the moves still made.
struct SearchAbandoned {};

extern Move best_move;       // first move of the last completed iteration's PV
extern int last_score;       // that iteration's score
extern int completed_depth;  // its depth; 0 until one completes
extern long long search_start_ms;
extern long long stop_time_ms;
extern int elapsed_cs;    // thinking time as last measured, in centiseconds
extern bool stop_search;  // the search ended before max_depth

// A limit for harnesses that must keep every search short (the fuzzer, with
// node_limit below); the default leaves the search as the clock settings make
// it. No iteration goes deeper than depth_ceiling.
constexpr int NO_DEPTH_CEILING = INT_MAX;
extern int depth_ceiling;

// Stops beside the clock, for front ends and harnesses; the engine's own
// command loop leaves both off. With node_limit above 0 the search is
// abandoned, as at the deadline, at the first clock test at or past that many
// nodes. stop_requested, which another thread may raise, abandons it at the
// next clock test, until whoever raised it lowers it again.
constexpr long long NO_NODE_LIMIT = 0;
extern long long node_limit;
extern std::atomic<bool> stop_requested;

// A budget in milliseconds, for front ends whose clocks count them. Above 0
// it takes the place of time_budget: the search is abandoned once it has
// passed (the front end keeps its own margin), and no iteration starts once
// a third of it has passed.
constexpr long long NO_BUDGET_MS = 0;
extern long long budget_ms;

// Searches the root position, whose moves stand in the list of ply 0, and
// leaves the move to play in best_move and the PV in row 0 of pv_table
// (pv_table[0][0] is 0 exactly when the root has no legal move). The events
// of the search go to search_reporter (search/report.h); `quiet` leaves out
// the report of each completed iteration; `side` is the side to move, whose
// mate or stalemate is reported.
void think(bool quiet, Side side);

// Throws SearchAbandoned when the clock has reached stop_time_ms, the node
// limit is reached or a stop was requested.
void abandon_search_at_deadline();
// Measures elapsed_cs and reports a new best root move with the root PV.
void print_thinking_line(int depth, int score);
