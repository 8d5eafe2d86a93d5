#include "search/quiesce.h"

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "eval/eval.h"
#include "eval/material.h"
#include "search/limits.h"
#include "search/movepick.h"

int quiesce(int alpha, int beta) {
    ++nodes;
    if (ply > seldepth) seldepth = ply;
    if (nodes % CLOCK_CHECK_INTERVAL == 0) abandon_search_at_deadline();
    pv_length[ply] = ply;
    if (ply >= MAX_PLY - 1) return evaluate(alpha, beta);

    // The side to move may stand pat on the static score instead of capturing.
    const int static_score = no_mating_material() ? 0 : evaluate(alpha, beta);
    if (static_score >= beta) return beta;
    if (static_score > alpha) alpha = static_score;

    generate_captures();
    if (follow_pv) boost_pv_move();
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        pick_next_move(i);
        const Move move = move_stack[i].move;
        if (!make_move(move)) continue;
        const int score = -quiesce(-beta, -alpha);
        take_back();
        if (score > alpha) {
            if (score >= beta) return beta;
            update_pv(move);
            alpha = score;
        }
    }
    return alpha;
}
