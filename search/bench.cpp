#include "search/bench.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <sstream>

#include "bench_positions.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/movegen.h"
#include "board/position.h"
#include "search/limits.h"
#include "search/think.h"
#include "search/tt.h"

static std::vector<BenchPosition> read_positions(std::istream& in) {
    std::vector<BenchPosition> positions;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t separator = line.find(" ; ");
        if (separator == std::string::npos)
            positions.push_back({line, ""});
        else
            positions.push_back({line.substr(0, separator), line.substr(separator + 3)});
    }
    return positions;
}

std::vector<BenchPosition> bench_built_in_positions() {
    std::istringstream text(BENCH_POSITIONS_TEXT);
    return read_positions(text);
}

bool bench_read_positions(const char* path, std::vector<BenchPosition>* positions) {
    std::ifstream in(path);
    if (!in) return false;
    *positions = read_positions(in);
    return true;
}

// Searches the loaded position to `depth` from a cleared state: no game
// record, no killers or history, an empty table.
static const SearchResult& search_from_cleared_state(int depth) {
    search_clear();
    ply = 0;
    generate_moves();
    reset_search_limits(depth);
    return think();
}

BenchRun bench_run(const std::vector<BenchPosition>& positions, int depth) {
    BenchRun run;
    init_keys();
    tt_set_size(TT_DEFAULT_EXPONENT);
    if (tt_allocate().entries == 0) {
        run.failure = "no transposition table";
        return run;
    }
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (!load_fen(positions[i].fen.c_str())) {
            run.failure = "cannot read position " + std::to_string(i + 1) + ": " + positions[i].fen;
            break;
        }
        const SearchResult& result = search_from_cleared_state(depth);
        run.searches.push_back({result.completed_depth, result.nodes, result.best_move});
        run.total_nodes += result.nodes;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.nodes_per_second = run.seconds > 0 ? std::llround(run.total_nodes / run.seconds) : 0;
    tt_release();
    return run;
}
