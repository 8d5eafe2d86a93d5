#include "search/think.h"

#include <algorithm>
#include <cstring>

#include "board/makemove.h"
#include "board/position.h"
#include "search/report.h"
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
long long node_limit = NO_NODE_LIMIT;
std::atomic<bool> stop_requested{false};
long long budget_ms = NO_BUDGET_MS;
SearchReporter search_reporter = {};

void abandon_search_at_deadline() {
    if (search_reporter.clock_test) search_reporter.clock_test();
    const bool over_nodes = node_limit > NO_NODE_LIMIT && nodes >= node_limit;
    if (over_nodes || stop_requested.load(std::memory_order_relaxed) || clock_ms() >= stop_time_ms) {
        stop_search = true;
        throw SearchAbandoned{};
    }
}

static void measure_elapsed() {
    elapsed_cs = static_cast<int>((clock_ms() - search_start_ms) / 10);
}

void print_thinking_line(int depth, int score) {
    measure_elapsed();
    if (search_reporter.new_best_move) search_reporter.new_best_move(depth, score);
}

// Whether the next iteration is not to start: more than a third of the
// budget has passed, so that it would hardly finish.
static bool budget_mostly_spent() {
    if (budget_ms > NO_BUDGET_MS) return 3 * (clock_ms() - search_start_ms) > budget_ms;
    return time_budget != NO_TIME_LIMIT && time_budget * 100LL - elapsed_cs < 2LL * elapsed_cs;
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
        if (!quiet) {
            measure_elapsed();
            if (search_reporter.iteration_done) search_reporter.iteration_done(depth, score);
        }

        if (score > MATE_THRESHOLD) {
            // n counts the engine's moves still needed after the one it plays.
            const int n = (MATE_SCORE - score) / 2;
            if (search_reporter.mate_found) search_reporter.mate_found(depth, n);
            if (n == 0) stop_search = true;
            return;
        }
        if (legal_moves == 1) return;
        if (legal_moves == 0) {
            if (search_reporter.no_legal_move) search_reporter.no_legal_move(side);
            return;
        }
        if (budget_mostly_spent()) {
            stop_search = true;
            return;
        }
    }
}

void think(bool quiet, Side side) {
    stop_search = false;
    const long long now = clock_ms();
    stop_time_ms = budget_ms > NO_BUDGET_MS ? now + budget_ms
                                            : now + time_budget * 1000LL - DEADLINE_MARGIN_MS;
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
