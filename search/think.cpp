#include "search/think.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "board/attack.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board/position.h"
#include "search/search.h"
#include "search/timecontrol.h"

Move best_move = 0;
int last_score = 0;
int completed_depth = 0;
long long search_start_ms = 0;
long long stop_time_ms = 0;
int elapsed_cs = 0;
bool stop_search = false;
int depth_ceiling = NO_DEPTH_CEILING;
long node_limit = NO_NODE_LIMIT;
std::atomic<bool> stop_requested{false};

void abandon_search_at_deadline() {
    const bool over_nodes = node_limit > NO_NODE_LIMIT && nodes >= node_limit;
    if (over_nodes || stop_requested.load(std::memory_order_relaxed) || clock_ms() >= stop_time_ms) {
        stop_search = true;
        throw SearchAbandoned{};
    }
}

void print_thinking_line(int depth, int score) {
    elapsed_cs = static_cast<int>((clock_ms() - search_start_ms) / 10);
    std::printf("%3d  %5d %5d  %9ld", depth, score, elapsed_cs, nodes);
    for (int j = 0; j < pv_length[0]; ++j) {
        std::printf(" ");
        print_move(pv_table[0][j]);
    }
    std::printf("\n");
}

static void announce_end_of_game(Side side) {
    if (!in_check(side))
        std::printf("1/2-1/2 {Stalemate}\n");
    else if (side == WHITE)
        std::printf("0-1 {Black mates}\n");
    else
        std::printf("1-0 {White mates}\n");
}

// The iterations, depth after depth. Returns normally when the search ends
// between iterations; the clock test of the search throws out of it.
static void deepen(bool quiet, Side side, int legal_moves) {
    int alpha_w = -MATE_SCORE;
    int beta_w = MATE_SCORE;
    const int last_depth = std::min(max_depth, depth_ceiling);
    for (int depth = 1; depth <= last_depth; ++depth) {
        follow_pv = true;
        int score;
        if (max_depth > 1) {
            score = search(alpha_w, beta_w, depth);
            if (score <= alpha_w || score >= beta_w) score = search(-MATE_SCORE, MATE_SCORE, depth);
        } else {
            score = search(-MATE_SCORE, MATE_SCORE, depth);
        }
        best_move = pv_table[0][0];
        alpha_w = score - ASPIRATION_MARGIN;
        beta_w = score + ASPIRATION_MARGIN;
        last_score = score;
        completed_depth = depth;
        if (!quiet) print_thinking_line(depth, score);

        if (score > MATE_THRESHOLD) {
            // n counts the engine's moves still needed after the one it plays.
            const int n = (MATE_SCORE - score) / 2;
            if (n > 0) {
                std::printf("%3d  %5d %5d  0 Mate in %d\n", depth, MATE_SCORE, elapsed_cs, n);
                std::printf("tellics whisper Mate in %d\n", n);
                return;
            }
            std::printf("%3d  %5d %5d  0 Checkmate\n", depth, MATE_SCORE, elapsed_cs);
            std::printf("tellics whisper Checkmate\n");
            stop_search = true;
            return;
        }
        if (legal_moves == 1) return;
        if (legal_moves == 0) {
            announce_end_of_game(side);
            return;
        }
        // No new iteration once more than a third of the budget has passed.
        if (time_budget != NO_TIME_LIMIT && time_budget * 100LL - elapsed_cs < 2LL * elapsed_cs) {
            stop_search = true;
            return;
        }
    }
}

void think(bool quiet, Side side) {
    stop_search = false;
    const long long now = clock_ms();
    stop_time_ms = now + time_budget * 1000LL - DEADLINE_MARGIN_MS;
    search_start_ms = now;
    elapsed_cs = 0;

    std::memset(pv_table, 0, sizeof pv_table);
    std::memset(history_score, 0, sizeof history_score);
    ply = 0;
    nodes = 0;
    completed_depth = 0;

    Move first_legal;
    const int legal_moves = count_legal_moves(&first_legal);
    try {
        deepen(quiet, side, legal_moves);
    } catch (const SearchAbandoned&) {
        while (ply > 0) take_back();
        // Abandoned within the first iteration: play a legal move all the same,
        // and keep the root line from reading as "no legal move".
        if (completed_depth == 0) {
            if (pv_table[0][0] == 0 && first_legal != 0) {
                pv_table[0][0] = first_legal;
                pv_length[0] = 1;
            }
            best_move = pv_table[0][0];
        }
    }
}
