#include "search/think.h"

#include <algorithm>
#include <cstring>

#include "board/makemove.h"
#include "board/position.h"
#include "search/limits.h"
#include "search/movepick.h"
#include "search/report.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

SearchResult result;

// The iterations, depth after depth, each completed one written to `result`.
// Returns normally when the search ends between iterations; the clock test
// of the search throws out of it.
void deepen(SearchResult* result, int legal_moves) {
    int alpha_w = -MATE_SCORE;
    int beta_w = MATE_SCORE;
    const int max_depth = search_limits.max_depth;
    const int last_depth = std::min(max_depth, search_limits.depth_ceiling);
    for (int depth = 1; depth <= last_depth; ++depth) {
        follow_pv = true;
        int score;
        if (max_depth > 1) {
            score = search(alpha_w, beta_w, depth);
            if (score <= alpha_w || score >= beta_w) score = search(-MATE_SCORE, MATE_SCORE, depth);
        } else {
            score = search(-MATE_SCORE, MATE_SCORE, depth);
        }
        result->best_move = pv_table[0][0];
        alpha_w = score - ASPIRATION_MARGIN;
        beta_w = score + ASPIRATION_MARGIN;
        result->last_score = score;
        result->completed_depth = depth;
        if (search_limits.report_iterations) report_root_line(depth, score, true);

        if (score > MATE_THRESHOLD) {
            // n counts the engine's moves still needed after the one it plays.
            const int n = (MATE_SCORE - score) / 2;
            if (search_reporter.mate_found)
                search_reporter.mate_found(depth, n, search_clock.elapsed_ms);
            return;
        }
        if (legal_moves == 1) return;
        if (legal_moves == 0) {
            if (search_reporter.no_legal_move) search_reporter.no_legal_move(position.side_to_move);
            return;
        }
        if (budget_mostly_spent()) return;
    }
}

}  // namespace

const SearchResult& think() {
    start_search_clock();
    std::memset(pv_table, 0, sizeof pv_table);
    std::memset(ordering.history_score, 0, sizeof ordering.history_score);
    ply = 0;
    result.completed_depth = 0;

    Move first_legal;
    const int legal_moves = count_legal_moves(&first_legal);
    try {
        deepen(&result, legal_moves);
    } catch (const SearchAbandoned&) {
        while (ply > 0) take_back();
        // Abandoned within the first iteration: play a legal move all the same,
        // and keep the root line from reading as "no legal move".
        if (result.completed_depth == 0) {
            if (pv_table[0][0] == 0 && first_legal != 0) {
                pv_table[0][0] = first_legal;
                pv_length[0] = 1;
            }
            result.best_move = pv_table[0][0];
        }
    }
    result.nodes = nodes;
    result.search_start_ms = search_clock.search_start_ms;
    result.pv = std::span<const Move>(pv_table[0], static_cast<std::size_t>(pv_length[0]));
    result.latest_root_move = pv_table[0][0];
    return result;
}

void search_clear() {
    tt_clear();
    ordering = OrderingTables{};
    clear_pv();
    ply = 0;
    std::memset(undo_stack, 0, sizeof undo_stack);
    std::memset(move_stack, 0, sizeof move_stack);
    std::memset(ply_move_start, 0, sizeof ply_move_start);
    std::memset(ply_move_end, 0, sizeof ply_move_end);
    nodes = 0;
    search_clock = SearchClock{};
    result = SearchResult{};
}
