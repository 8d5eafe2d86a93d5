// karvosel-uci [bench [DEPTH]]: the Karvosel engine speaking the Universal
// Chess Interface on standard input and output, or with `bench` the bench of
// karvosel-bench, for testing frameworks that read its last line.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/types.h"
#include "platform/platform.h"
#include "protocol/uci/input.h"
#include "protocol/uci/uci.h"
#include "search/bench.h"

// DEPTH as written: decimal digits alone; 0 for anything else.
static long depth_argument(const char* text) {
    char* end = nullptr;
    const long depth = std::strtol(text, &end, 10);
    return std::isdigit(static_cast<unsigned char>(text[0])) && *end == '\0' ? depth : 0;
}

// The words `bench [DEPTH]` in argv: the bench's total as the last line,
// "N nodes M nps"; exit status 2 on bad arguments.
static int run_bench(int argc, char** argv) {
    const long depth = argc == 2 ? depth_argument(argv[1]) : BENCH_DEFAULT_DEPTH;
    if (argc > 2 || depth < 1 || depth >= MAX_PLY) {
        std::fprintf(stderr, "usage: karvosel-uci bench [DEPTH]   (1 <= DEPTH < %d, default %d)\n",
                     MAX_PLY, BENCH_DEFAULT_DEPTH);
        return 2;
    }
    const BenchRun run = bench_run(bench_built_in_positions(), static_cast<int>(depth));
    if (!run.failure.empty()) {
        std::fprintf(stderr, "%s\n", run.failure.c_str());
        return 1;
    }
    std::printf("%lld nodes %lld nps\n", run.total_nodes, run.nodes_per_second);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "bench") == 0) return run_bench(argc - 1, argv + 1);
    // A terminal's interrupt, or a host's meant for another program of its
    // process group, does not end the engine: `quit` and the end of input do.
    platform_ignore_interrupt();
    platform_prepare_console();
    start_uci_engine();
    start_input_thread();
    run_uci_loop();
    std::fflush(stdout);
    return 0;
}
