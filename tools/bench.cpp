// karvosel-bench [DEPTH [POSITIONS]]: fixed-depth searches over a fixed set of
// positions, each from a cleared state. The total node count is the engine's
// signature: a change meant to leave the search alone must leave it unchanged.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/keys.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "search/limits.h"
#include "search/think.h"
#include "search/tt.h"

namespace {

constexpr int DEFAULT_DEPTH = 7;

struct BenchPosition {
    std::string fen;
    std::string label;
};

// Lines "FEN ; label"; blank lines and lines starting with '#' are skipped.
bool read_positions(const char* path, std::vector<BenchPosition>* positions) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t separator = line.find(" ; ");
        if (separator == std::string::npos)
            positions->push_back({line, ""});
        else
            positions->push_back({line.substr(0, separator), line.substr(separator + 3)});
    }
    return true;
}

// Searches the loaded position to `depth` from a cleared state: no game
// record, no killers or history, an empty table.
const SearchResult& search_from_cleared_state(int depth) {
    search_clear();
    ply = 0;
    generate_moves();
    reset_search_limits(depth);
    return think();
}

}  // namespace

int main(int argc, char** argv) {
    const long depth = argc > 1 ? std::strtol(argv[1], nullptr, 10) : DEFAULT_DEPTH;
    const char* path = argc > 2 ? argv[2] : KARVOSEL_BENCH_POSITIONS;
    if (depth < 1 || depth >= MAX_PLY) {
        std::fprintf(stderr, "usage: karvosel-bench [DEPTH [POSITIONS]]   (1 <= DEPTH < %d)\n",
                     MAX_PLY);
        return 2;
    }
    std::vector<BenchPosition> positions;
    if (!read_positions(path, &positions) || positions.empty()) {
        std::fprintf(stderr, "cannot read positions from %s\n", path);
        return 2;
    }

    init_keys();
    tt_set_size(TT_DEFAULT_EXPONENT);
    if (tt_allocate().entries == 0) {
        std::fprintf(stderr, "no transposition table\n");
        return 2;
    }
    long long total_nodes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const BenchPosition& position = positions[i];
        if (!load_fen(position.fen.c_str())) {
            std::fprintf(stderr, "cannot read position %zu: %s\n", i + 1, position.fen.c_str());
            return 2;
        }
        const SearchResult& result = search_from_cleared_state(static_cast<int>(depth));
        total_nodes += result.nodes;
        std::printf("%2zu  %-32s depth %2d  nodes %10lld  move ", i + 1, position.label.c_str(),
                    result.completed_depth, result.nodes);
        if (result.best_move != 0)
            print_move(result.best_move);
        else
            std::printf("(none)");
        std::printf("\n");
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    tt_release();

    std::printf("\nPositions       %zu\n", positions.size());
    std::printf("Depth           %ld\n", depth);
    std::printf("Total time (ms) %.0f\n", seconds * 1000.0);
    std::printf("Nodes/second    %.0f\n", seconds > 0 ? total_nodes / seconds : 0.0);
    std::printf("Nodes searched  %lld\n", total_nodes);
    return 0;
}
