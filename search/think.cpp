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

// One of the best lines, as the last depth that searched it left it.
struct Line {
    int alpha_w;
    int beta_w;
    int length;
    Move pv[MAX_PLY];
};
Line lines[MAX_MULTIPV];

// The legal root moves the search may play, in the order of the list.
Move root_moves[MAX_ROOT_MOVES];
int root_move_count;

bool allowed_by_limits(Move move) {
    if (search_limits.search_move_count == 0) return true;
    const Move* const begin = search_limits.search_moves;
    const Move* const end = begin + search_limits.search_move_count;
    return std::find(begin, end, move) != end;
}

// Fills root_moves from the list of ply 0, making and taking back each move.
void collect_root_moves() {
    root_move_count = 0;
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        const Move move = move_stack[i].move;
        if (!make_move(move)) continue;
        take_back();
        if (allowed_by_limits(move) && root_move_count < MAX_ROOT_MOVES)
            root_moves[root_move_count++] = move;
    }
}

// Line k searches the allowed root moves but the first moves of the lines
// before it, and follows its own line of the depth before.
void prepare_line(int k) {
    Move moves[MAX_ROOT_MOVES];
    int count = 0;
    for (int i = 0; i < root_move_count; ++i) {
        bool taken = false;
        for (int j = 0; j < k; ++j) taken |= lines[j].length > 0 && lines[j].pv[0] == root_moves[i];
        if (!taken) moves[count++] = root_moves[i];
    }
    set_root_filter(moves, count);
    std::memset(pv_table[0], 0, sizeof pv_table[0]);
    std::copy(lines[k].pv, lines[k].pv + lines[k].length, pv_table[0]);
}

void keep_line(int k) {
    lines[k].length = pv_length[0];
    std::copy(pv_table[0], pv_table[0] + pv_length[0], lines[k].pv);
}

// The iterations, depth after depth, each completed one written to `result`.
// Returns normally when the search ends between iterations; the clock test
// of the search throws out of it.
void deepen(SearchResult* result, int legal_moves, int max_depth) {
    const int last_depth = std::min(max_depth, search_limits.depth_ceiling);
    const int line_count = std::clamp(std::min(search_limits.multipv, legal_moves), 1, MAX_MULTIPV);
    for (int k = 0; k < line_count; ++k) lines[k] = {-MATE_SCORE, MATE_SCORE, 0, {}};
    for (int depth = 1; depth <= last_depth; ++depth) {
        for (int k = 0; k < line_count; ++k) {
            Line& line = lines[k];
            if (line_count > 1) prepare_line(k);
            report_line_number = k + 1;
            follow_pv = true;
            int score;
            if (max_depth > 1) {
                score = search(line.alpha_w, line.beta_w, depth);
                if (score <= line.alpha_w || score >= line.beta_w)
                    score = search(-MATE_SCORE, MATE_SCORE, depth);
            } else {
                score = search(-MATE_SCORE, MATE_SCORE, depth);
            }
            line.alpha_w = score - ASPIRATION_MARGIN;
            line.beta_w = score + ASPIRATION_MARGIN;
            keep_line(k);
            result->lines[k] = {pv_table[0][0], score};
            result->line_count = std::max(result->line_count, k + 1);
            if (k == 0) {
                result->best_move = pv_table[0][0];
                result->last_score = score;
                result->completed_depth = depth;
            }
            if (search_limits.report_iterations) report_root_line(depth, score, true);
        }

        const int score = result->last_score;
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
    tt_new_search();
    std::memset(pv_table, 0, sizeof pv_table);
    std::memset(ordering.history_score, 0, sizeof ordering.history_score);
    ply = 0;
    result.completed_depth = 0;
    result.cut_short_move = 0;
    result.line_count = 0;
    report_line_number = 1;

    collect_root_moves();
    const bool restricted = search_limits.search_move_count > 0;
    if (restricted)
        set_root_filter(root_moves, root_move_count);
    else
        clear_root_filter();
    const Move first_legal = root_move_count > 0 ? root_moves[0] : 0;
    // A mate in n moves is proved by a search of 2n plies.
    int max_depth = search_limits.max_depth;
    if (search_limits.mate_moves > 0)
        max_depth = std::min(max_depth, 2 * std::min(search_limits.mate_moves, MAX_PLY));
    try {
        deepen(&result, root_move_count, max_depth);
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
        } else if (report_line_number == 1 && pv_length[0] > 0 &&
                   pv_table[0][0] != result.best_move) {
            result.cut_short_move = pv_table[0][0];
        }
    }
    clear_root_filter();
    result.nodes = nodes;
    result.search_start_ms = search_clock.search_start_ms;
    result.pv = std::span<const Move>(pv_table[0], static_cast<std::size_t>(pv_length[0]));
    result.latest_root_move = pv_table[0][0];
    result.completed_pv =
        std::span<const Move>(lines[0].pv, static_cast<std::size_t>(lines[0].length));
    return result;
}

void search_clear() {
    tt_clear();
    ordering = OrderingTables{};
    clear_pv();
    clear_root_filter();
    ply = 0;
    std::memset(undo_stack, 0, sizeof undo_stack);
    std::memset(move_stack, 0, sizeof move_stack);
    std::memset(ply_move_start, 0, sizeof ply_move_start);
    std::memset(ply_move_end, 0, sizeof ply_move_end);
    nodes = 0;
    search_clock = SearchClock{};
    result = SearchResult{};
}
