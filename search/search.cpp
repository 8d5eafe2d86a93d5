#include "search/search.h"

#include <cstdint>

#include "board/attack.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "eval/eval.h"
#include "eval/material.h"
#include "search/limits.h"
#include "search/movepick.h"
#include "search/quiesce.h"
#include "search/report.h"
#include "search/tt.h"

int search(int alpha, int beta, int depth) {
    // Step 1. Count the node; its line is empty so far
    ++nodes;
    if (ply > seldepth) seldepth = ply;
    pv_length[ply] = ply;

    // Step 2. The full-width depth is used up
    if (depth == 0) return quiesce(alpha, beta);

    // Step 3. Clock test
    if (nodes % CLOCK_CHECK_INTERVAL == 0) abandon_search_at_deadline();

    // Step 4. Ply limit
    if (ply >= MAX_PLY - 1) return evaluate(alpha, beta);

    // Step 5. The table entry of this node. make_move and take_back keep the
    // key exact, so it needs no recomputation here.
    const std::uint32_t index = tt_index_of(position.position_key);

    // Step 6. Table probe, never at the root
    if (ply > 0) {
        if (const auto score = tt_probe(index, alpha, beta, depth)) return *score;
    }

    // Step 7. Check extension
    if (side_to_move_in_check()) ++depth;

    // Step 8. Generate moves (at the root, only those this line may play),
    // the previous PV's move first
    generate_moves();
    const bool root = ply == 0;
    if (root) filter_root_moves();
    if (follow_pv) boost_pv_move();

    // Step 9. Before the first legal move
    int limit = beta;
    bool alpha_raised = false;
    bool legal_move_seen = false;
    int root_moves_searched = 0;

    // Step 10. Move loop. Where the children probe the table, each move is
    // picked one move ahead, so that its child's entry is fetched while the
    // move before it is searched: the picks are the same, since the children
    // never touch this list. The root's list outlives the search and keeps
    // the plain order of picks.
    const int end = ply_move_end[ply];
    const bool pick_ahead = depth > 1 && ply > 0;
    if (pick_ahead && ply_move_start[ply] < end) {
        pick_next_move(ply_move_start[ply]);
        tt_prefetch(key_after(move_stack[ply_move_start[ply]].move));
    }
    for (int i = ply_move_start[ply]; i < end; ++i) {
        if (!pick_ahead) {
            pick_next_move(i);
        } else if (i + 1 < end) {
            pick_next_move(i + 1);
            tt_prefetch(key_after(move_stack[i + 1].move));
        }
        const Move move = move_stack[i].move;
        if (!make_move(move)) continue;
        legal_move_seen = true;
        if (root && search_reporter.root_move)
            search_reporter.root_move(depth, move, ++root_moves_searched);
        // at the root, where nothing was fetched ahead, the child's entry is
        // fetched now: it probes the table first thing unless its depth is used up
        if (depth > 1 && !pick_ahead) tt_prefetch(position.position_key);

        // Step 10.4. Repetitions and dead positions score 0 unsearched, with
        // an empty line behind the move
        int score;
        if (repetition_count() < 2 && !no_mating_material()) {
            score = -search(-limit, -alpha, depth - 1);
        } else {
            score = 0;
            pv_length[ply] = ply;
        }
        // Step 10.5. A null-window fail high is searched again with the full window
        if (score >= limit && limit < beta) score = -search(-beta, -alpha, depth - 1);
        take_back();

        if (score <= alpha) continue;
        alpha_raised = true;
        limit = score + 1;

        // Step 10.9. Beta cutoff
        if (score >= beta) {
            tt_store(index, TT_LOWER, score, depth);
            if (!(move_flags(move) & MOVE_CAPTURE)) {
                ordering.killer_move[ply] = move;
                ordering.history_score[move_from(move)][move_to(move)] += 1;
            }
            return beta;
        }

        // Step 10.10. A new best line
        update_pv(move);
        alpha = score;
        if (root) report_root_line(depth, score, false);
    }

    // Step 11. Mate, stalemate, the fifty-move rule, and the table store
    if (!legal_move_seen) return side_to_move_in_check() ? ply - MATE_SCORE : 0;
    if (position.halfmove_clock >= 100) return 0;
    tt_store(index, alpha_raised ? TT_EXACT : TT_UPPER, alpha, depth);
    return alpha;
}

int repetition_count() {
    int count = 0;
    const int oldest = game_ply - position.halfmove_clock - 1;
    for (int i = game_ply - 1; i >= oldest && i >= 0; --i)
        if (game_history[i].key == position.position_key) ++count;
    return count;
}
