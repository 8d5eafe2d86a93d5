// karvosel-bench [DEPTH [POSITIONS]]: the bench (search/bench.h) over the
// built-in positions or those of the file POSITIONS, reported position by
// position and then in total.
#include "search/bench.h"

#include <cstdio>
#include <cstdlib>

#include "board/notation.h"
#include "board/types.h"

int main(int argc, char** argv) {
    const long depth = argc > 1 ? std::strtol(argv[1], nullptr, 10) : BENCH_DEFAULT_DEPTH;
    if (depth < 1 || depth >= MAX_PLY) {
        std::fprintf(stderr, "usage: karvosel-bench [DEPTH [POSITIONS]]   (1 <= DEPTH < %d)\n",
                     MAX_PLY);
        return 2;
    }
    std::vector<BenchPosition> positions = bench_built_in_positions();
    if (argc > 2 && (!bench_read_positions(argv[2], &positions) || positions.empty())) {
        std::fprintf(stderr, "cannot read positions from %s\n", argv[2]);
        return 2;
    }

    const BenchRun run = bench_run(positions, static_cast<int>(depth));
    for (std::size_t i = 0; i < run.searches.size(); ++i) {
        const BenchSearch& search = run.searches[i];
        std::printf("%2zu  %-32s depth %2d  nodes %10lld  move ", i + 1, positions[i].label.c_str(),
                    search.completed_depth, search.nodes);
        if (search.best_move != 0)
            print_move(search.best_move);
        else
            std::printf("(none)");
        std::printf("\n");
    }
    if (!run.failure.empty()) {
        std::fprintf(stderr, "%s\n", run.failure.c_str());
        return 2;
    }

    std::printf("\nPositions       %zu\n", positions.size());
    std::printf("Depth           %ld\n", depth);
    std::printf("Total time (ms) %.0f\n", run.seconds * 1000.0);
    std::printf("Nodes/second    %lld\n", run.nodes_per_second);
    std::printf("Nodes searched  %lld\n", run.total_nodes);
    return 0;
}
