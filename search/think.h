// Iterative deepening: the engine's thinking on its move, depth after depth
// within the limits of search_limits (search/limits.h), reported as it goes
// through search_reporter (search/report.h).
#pragma once

#include <span>

#include "board/types.h"

// Half-width of the window around the previous iteration's score.
constexpr int ASPIRATION_MARGIN = 125;
// The most best lines a search offers.
constexpr int MAX_MULTIPV = 64;

// A root move and its score, as one of the best lines found it.
struct LineScore {
    Move move;
    int score;
};

// What a search leaves for its front end. The move and score are those of
// the last completed iteration, and stay from one search to the next until
// an iteration of the next completes.
struct SearchResult {
    // The first move of the last completed iteration's line: the move to
    // play; 0 after a search exactly when the root has no legal move.
    Move best_move = 0;
    int last_score = 0;       // that iteration's score
    int completed_depth = 0;  // its depth; 0 when this search completed none
    long long nodes = 0;
    long long search_start_ms = 0;
    // Row 0 of the PV table as the search left it: the root's line, of an
    // iteration cut short too, whose moves it may hold.
    std::span<const Move> pv;
    // The first entry of that row, which a cut-short iteration may have
    // written before it emptied the line for a new attempt.
    Move latest_root_move = 0;
    // The root move that an iteration cut short found better than best_move:
    // searched with the full window, it raised alpha; 0 when there is none.
    Move cut_short_move = 0;
    // The line of the last completed iteration, whose first move is best_move
    // (empty when none completed; with several lines, the first).
    std::span<const Move> completed_pv;
    // With several lines searched: each line's move and score at the last
    // depth that completed it, in the order searched (the best first).
    int line_count = 0;
    LineScore lines[MAX_MULTIPV] = {};
};

// Searches the root position, whose moves stand in the list of ply 0. The
// side to move's mate or stalemate at the root is reported. A search stopped
// within its first iteration still leaves a legal move to play.
const SearchResult& think();

// What a new game clears of the search: the table's entries, the killers and
// history, the last result, the PV table and the per-ply move lists. Every front end, tool,
// test and harness that starts a game afresh calls it.
void search_clear();
