// The engine of the web page: karvosel-uci built to WebAssembly for a Web
// Worker. The worker hands it one line at a time (karvosel_command) and
// posts each line it prints back to the page. There is no input thread and
// no line can arrive while a search runs, so every search must end by its
// own limit (depth, nodes or movetime): the input counts as ended from the
// start, and a `go infinite` or `go ponder` stops as it would at the end of
// input. To interrupt a search the page ends the worker and starts another.
#include <cstdio>

#include <emscripten/emscripten.h>

#include "board/types.h"
#include "protocol/uci/input.h"
#include "protocol/uci/uci.h"
#include "search/bench.h"
#include "search/limits.h"
#include "search/report.h"

extern "C" {

// One line of the protocol, without its line break; what it prints comes
// back line by line. After `quit` later lines are ignored.
EMSCRIPTEN_KEEPALIVE void karvosel_command(const char* text) {
    static bool ended = false;
    if (ended) return;
    InputLine line;
    line.text = text;
    if (line.text.size() > MAX_INPUT_LINE) {
        line.text.clear();
        line.overlong = true;
    }
    if (!handle_uci_line(line)) ended = true;
}

// The bench at `depth` from the built-in positions, as `karvosel-uci bench`
// reports it: "N nodes M nps" (or why it failed). The bench loads its own
// positions and table, so the engine starts afresh after it, as at start-up.
EMSCRIPTEN_KEEPALIVE void karvosel_bench(int depth) {
    if (depth < 1 || depth >= MAX_PLY) {
        std::printf("bench depth %d is not 1 to %d\n", depth, MAX_PLY - 1);
        std::fflush(stdout);
        return;
    }
    // Quiet, as `karvosel-uci bench` is: no info lines, no input to poll.
    search_reporter = {};
    search_limits.poll = nullptr;
    const BenchRun run = bench_run(bench_built_in_positions(), depth);
    if (!run.failure.empty())
        std::printf("%s\n", run.failure.c_str());
    else
        std::printf("%lld nodes %lld nps\n", run.total_nodes, run.nodes_per_second);
    std::fflush(stdout);
    start_uci_engine();
}

}  // extern "C"

int main() {
    start_uci_engine();
    queue_end_of_input();
    return 0;
}
