// karvosel-perft DEPTH [FEN] [--divide]: counts the leaf nodes of the legal
// move tree, the move generator's oracle against published tables.
#include "board/perft.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"

int main(int argc, char** argv) {
    const char* fen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    long depth = -1;
    bool divide = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--divide") == 0)
            divide = true;
        else if (depth < 0)
            depth = std::strtol(argv[i], nullptr, 10);
        else
            fen = argv[i];
    }
    if (depth < 1 || depth >= MAX_PLY) {
        std::fprintf(stderr, "usage: karvosel-perft DEPTH [FEN] [--divide]   (1 <= DEPTH < %d)\n", MAX_PLY);
        return 2;
    }
    init_keys();
    if (!load_fen(fen)) {
        std::fprintf(stderr, "cannot read the position: %s\n", fen);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    long long total = 0;
    generate_moves();
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        const Move move = move_stack[i].move;
        if (!make_move(move)) continue;
        const long long count = perft(static_cast<int>(depth) - 1);
        take_back();
        total += count;
        if (divide) {
            print_move(move);
            std::printf(": %lld\n", count);
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("nodes %lld\n", total);
    std::printf("nps %.0f\n", seconds > 0 ? total / seconds : 0.0);
    return 0;
}
