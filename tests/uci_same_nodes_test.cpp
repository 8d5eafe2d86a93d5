// One engine behind both front ends: from a cleared state, karvosel-uci's
// `go depth N` searches exactly the nodes and chooses exactly the move of
// karvosel-bench at depth N on every bench position, and from the start
// position those of `sd N` and `go` in a freshly started karvosel.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine_process.h"

namespace {

using namespace engine_test;

struct SearchResult {
    long long nodes = -1;
    std::string move;
    bool operator==(const SearchResult&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SearchResult& result) {
    return out << result.move << " after " << result.nodes << " nodes";
}

std::string run(const std::vector<std::string>& args, const std::string& input) {
    EngineProcess engine(args);
    engine.write(input);
    return engine.finish().output;
}

// The value after `label` in `line`, -1 when it is not there.
long long number_after(const std::string& line, const std::string& label) {
    const std::size_t at = line.find(label);
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + label.size()));
}

// Each bestmove with the node count of the info line before it: the report
// of the last completed iteration, when the search has ended.
std::vector<SearchResult> uci_results(const std::string& output) {
    std::vector<SearchResult> results;
    long long nodes = -1;
    for (const std::string& line : split_lines(output)) {
        if (line.rfind("info depth ", 0) == 0) nodes = number_after(line, " nodes ");
        if (line.rfind("bestmove ", 0) == 0) {
            std::istringstream words(line.substr(9));
            SearchResult result{nodes, ""};
            words >> result.move;
            results.push_back(result);
        }
    }
    return results;
}

// The bench's lines "NN  label  depth D  nodes N  move M".
std::vector<SearchResult> bench_results(int depth) {
    std::vector<SearchResult> results;
    for (const std::string& line :
         split_lines(run({KARVOSEL_BENCH_BINARY, std::to_string(depth)}, ""))) {
        const long long nodes = number_after(line, " nodes ");
        const std::size_t move = line.find(" move ");
        if (nodes < 0 || move == std::string::npos) continue;
        std::istringstream words(line.substr(move + 6));
        SearchResult result{nodes, ""};
        words >> result.move;
        results.push_back(result);
    }
    return results;
}

std::vector<std::string> bench_fens() {
    std::vector<std::string> fens;
    std::ifstream in(KARVOSEL_BENCH_POSITIONS);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        fens.push_back(line.substr(0, line.find(" ; ")));
    }
    return fens;
}

class SameNodes : public ::testing::TestWithParam<int> {};

TEST_P(SameNodes, AsTheBenchOnEveryBenchPosition) {
    const int depth = GetParam();
    const std::vector<std::string> fens = bench_fens();
    ASSERT_FALSE(fens.empty());
    std::string input;
    for (const std::string& fen : fens)
        input += "ucinewgame\nposition fen " + fen + "\ngo depth " + std::to_string(depth) + "\n";
    const std::vector<SearchResult> uci = uci_results(run({KARVOSEL_UCI_BINARY}, input));
    const std::vector<SearchResult> bench = bench_results(depth);
    ASSERT_EQ(uci.size(), fens.size());
    ASSERT_EQ(bench.size(), fens.size());
    for (std::size_t i = 0; i < fens.size(); ++i) EXPECT_EQ(uci[i], bench[i]) << fens[i];
}

TEST_P(SameNodes, AsTheOtherFrontEndFromTheStartPosition) {
    const std::string depth = std::to_string(GetParam());
    SearchResult xboard;
    for (const std::string& line :
         split_lines(run({KARVOSEL_BINARY}, "sd " + depth + "\ngo\nquit\n"))) {
        if (line.rfind("move ", 0) == 0) xboard.move = line.substr(5, line.find('\n') - 5);
        if (line.rfind("tellics whisper Depth:", 0) == 0)
            xboard.nodes = number_after(line, " Nodes:");
    }
    // The first search from a fresh start, the second after ucinewgame.
    const std::string go = "position startpos\ngo depth " + depth + "\n";
    const std::vector<SearchResult> uci =
        uci_results(run({KARVOSEL_UCI_BINARY}, go + "ucinewgame\n" + go));
    ASSERT_EQ(uci.size(), 2u);
    EXPECT_EQ(uci[0], xboard);
    EXPECT_EQ(uci[1], xboard);
}

INSTANTIATE_TEST_SUITE_P(Depths, SameNodes, ::testing::Values(1, 2, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "depth_" + std::to_string(info.param);
                         });

}  // namespace
