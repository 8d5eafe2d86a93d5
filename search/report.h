// What the search tells its front end while it thinks: one function per
// event, so that each front end words its thinking in its own protocol. Every
// function is optional; an event whose function is null passes unreported.
#pragma once

#include "board/types.h"

struct SearchReporter {
    // A new best root move within the iteration of `depth`: the line is row 0
    // of pv_table, `score` its score for the side to move.
    void (*new_best_move)(int depth, int score);
    // The iteration of `depth` completed with `score` and the line in row 0 of pv_table.
    void (*iteration_done)(int depth, int score);
    // The side to move mates: after the move to play, `moves` more of its own
    // moves (0: the move to play mates). The search ends after this.
    void (*mate_found)(int depth, int moves);
    // The root has no legal move: `side`, to move, is mated or stalemated.
    void (*no_legal_move)(Side side);
    // At every clock test, so that a front end that reads its input meanwhile
    // can answer what must not wait for the search.
    void (*clock_test)();
};

// The reporter in use; all null (silent) until a front end installs its own.
extern SearchReporter search_reporter;
