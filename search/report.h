// What the search tells its front end while it thinks: one function per
// event, each given everything the front end prints about it, so that each
// front end words its thinking in its own protocol and reads no search
// state. Every function is optional; an event whose function is null passes
// unreported.
#pragma once

#include <span>

#include "board/types.h"

// A line of play from the root, with what the search knows of it.
struct RootLine {
    int depth;
    int score;  // for the side to move at the root
    long long nodes;
    long long elapsed_ms;  // thinking time, as measured for this report
    std::span<const Move> pv;
    // Whether the iteration of `depth` completed with this line; false for a
    // new best root move found within it.
    bool completed;
    // Which of the best lines this is, from 1 (several are searched on request).
    int multipv;
    int seldepth;  // the deepest ply the search reached
};

struct SearchReporter {
    // A new best root move within an iteration, or a completed iteration.
    void (*root_line)(const RootLine& line);
    // The side to move mates: after the move to play, `moves` more of its own
    // moves (0: the move to play mates); `elapsed_ms` as last measured. The
    // search ends after this.
    void (*mate_found)(int depth, int moves, long long elapsed_ms);
    // The root has no legal move: `side`, to move, is mated or stalemated.
    void (*no_legal_move)(Side side);
    // The iteration of `depth` starts on the `number`-th root move it
    // searches, `move`.
    void (*root_move)(int depth, Move move, int number);
};

// The reporter in use; all null (silent) until a front end installs its own.
extern SearchReporter search_reporter;

// Measures the thinking time and reports the root's line, row 0 of the PV
// table, as the line numbered report_line_number.
void report_root_line(int depth, int score, bool completed);
extern int report_line_number;
