#include "protocol/cecp/thinking.h"

#include <cstdio>

#include "board/notation.h"
#include "protocol/cecp/gameend.h"
#include "search/report.h"

namespace {

// Depth, score, centiseconds, nodes and the root PV.
void print_root_line(const RootLine& line) {
    std::printf("%3d  %5d %5d  %9lld", line.depth, line.score,
                static_cast<int>(line.elapsed_ms / 10), line.nodes);
    for (const Move move : line.pv) {
        std::printf(" ");
        print_move(move);
    }
    std::printf("\n");
}

void announce_mate(int depth, int moves, long long elapsed_ms) {
    const int elapsed_cs = static_cast<int>(elapsed_ms / 10);
    if (moves > 0) {
        std::printf("%3d  %5d %5d  0 Mate in %d\n", depth, MATE_SCORE, elapsed_cs, moves);
        std::printf("tellics whisper Mate in %d\n", moves);
        return;
    }
    std::printf("%3d  %5d %5d  0 Checkmate\n", depth, MATE_SCORE, elapsed_cs);
    std::printf("tellics whisper Checkmate\n");
}

}  // namespace

void install_thinking_output() {
    search_reporter = {print_root_line, announce_mate, print_game_over, nullptr};
}
