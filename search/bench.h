// The bench: fixed-depth searches over a fixed set of positions, each from a
// cleared state. Its total node count is the engine's signature: a change
// meant to leave the search alone must leave it unchanged. karvosel-bench and
// `karvosel-uci bench` run it and each words its own report.
#pragma once

#include <string>
#include <vector>

#include "board/types.h"

constexpr int BENCH_DEFAULT_DEPTH = 7;

struct BenchPosition {
    std::string fen;
    std::string label;
};

// The positions of tools/bench-positions.txt as they were when the program
// was built, so that the bench reads no file when it runs.
std::vector<BenchPosition> bench_built_in_positions();
// The positions of the file at `path`, in place of those of `positions`: lines
// "FEN ; label", blank lines and lines starting with '#' skipped. False when
// the file cannot be read.
bool bench_read_positions(const char* path, std::vector<BenchPosition>* positions);

// One position's search as the bench reports it.
struct BenchSearch {
    int completed_depth = 0;
    long long nodes = 0;
    Move best_move = 0;  // 0 when the position has no legal move
};

struct BenchRun {
    std::vector<BenchSearch> searches;  // one a position searched, in order
    long long total_nodes = 0;
    double seconds = 0;  // the searches' wall-clock time
    long long nodes_per_second = 0;
    // Empty when every position was searched; else why the bench stopped
    // (the searches before that stay in `searches`).
    std::string failure;
};

// Searches each of `positions` to `depth` (1 <= depth < MAX_PLY) from a
// cleared state, with a table of the default size that is released after.
BenchRun bench_run(const std::vector<BenchPosition>& positions, int depth);
