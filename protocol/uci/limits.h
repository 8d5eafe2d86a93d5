// The parameters of a `go` command, as one record that the time manager and
// the search's set-up read.
#pragma once

#include <string>
#include <vector>

#include "board/types.h"

constexpr long long NO_CLOCK = -1;

struct GoLimits {
    long long time_ms[2] = {NO_CLOCK, NO_CLOCK};  // wtime, btime
    long long increment_ms[2] = {0, 0};           // winc, binc
    int moves_to_go = 0;                          // 0: the rest of the game
    long long move_time_ms = 0;                   // 0: none
    int depth = 0;                                // 0: none
    long long nodes = 0;                          // 0: none
    int mate = 0;                                 // moves to mate; 0: none
    bool infinite = false;
    bool ponder = false;  // search the predicted position until ponderhit or stop
    std::vector<std::string> search_moves;  // as written; empty: every move
};

// Reads the words after `go`. Each fault (an unknown word, a missing or
// malformed value) is described in `complaints`, one per line, and the word
// is skipped; what was read stands.
GoLimits parse_go(const std::string& arguments, std::string* complaints);

// go without any limit searches until `stop`, as `go infinite` does, and so
// does `go ponder` until `ponderhit` makes it a search for a move.
bool searches_until_stopped(const GoLimits& limits);
