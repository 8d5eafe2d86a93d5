#include "protocol/thinking.h"

#include <cstdio>

#include "board/attack.h"
#include "board/notation.h"
#include "search/report.h"
#include "search/search.h"
#include "search/think.h"

namespace {

// Depth, score, centiseconds, nodes and the root PV.
void print_root_line(int depth, int score) {
    std::printf("%3d  %5d %5d  %9lld", depth, score, elapsed_cs, nodes);
    for (int j = 0; j < pv_length[0]; ++j) {
        std::printf(" ");
        print_move(pv_table[0][j]);
    }
    std::printf("\n");
}

void announce_mate(int depth, int moves) {
    if (moves > 0) {
        std::printf("%3d  %5d %5d  0 Mate in %d\n", depth, MATE_SCORE, elapsed_cs, moves);
        std::printf("tellics whisper Mate in %d\n", moves);
        return;
    }
    std::printf("%3d  %5d %5d  0 Checkmate\n", depth, MATE_SCORE, elapsed_cs);
    std::printf("tellics whisper Checkmate\n");
}

void announce_end_of_game(Side side) {
    if (!in_check(side))
        std::printf("1/2-1/2 {Stalemate}\n");
    else if (side == WHITE)
        std::printf("0-1 {Black mates}\n");
    else
        std::printf("1-0 {White mates}\n");
}

}  // namespace

void install_thinking_output() {
    search_reporter = {print_root_line, print_root_line, announce_mate, announce_end_of_game,
                       nullptr};
}
