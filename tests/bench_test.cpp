// The bench at depth 4 over its whole position list: every position's depth,
// node count and best move, and the total, as tests/bench_depth4.txt records
// them. A change to generation order, ordering scores, evaluation or search
// shows here in seconds; CI checks the default depth's total as well. The
// positions built into the programs are those of tools/bench-positions.txt.
#include "search/bench.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The report without its wall-clock lines.
std::string without_timings(std::istream& in) {
    std::string kept;
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("Total time", 0) != 0 && line.rfind("Nodes/second", 0) != 0)
            kept += line + "\n";
    return kept;
}

TEST(Bench, DepthFourMatchesTheRecordedReport) {
    std::ifstream expected_file(KARVOSEL_TEST_DATA "/bench_depth4.txt");
    ASSERT_TRUE(expected_file) << "missing bench_depth4.txt";
    const std::string expected = without_timings(expected_file);

    FILE* bench = popen("'" KARVOSEL_BENCH_BINARY "' 4", "r");
    ASSERT_NE(bench, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, bench)) > 0;)
        output.append(buffer, n);
    ASSERT_EQ(pclose(bench), 0);
    std::istringstream report(output);
    EXPECT_EQ(without_timings(report), expected);
}

TEST(Bench, BuiltInPositionsAreThoseOfTheFile) {
    std::vector<BenchPosition> from_file;
    ASSERT_TRUE(bench_read_positions(KARVOSEL_BENCH_POSITIONS, &from_file));
    const std::vector<BenchPosition> built_in = bench_built_in_positions();
    ASSERT_EQ(built_in.size(), from_file.size());
    for (std::size_t i = 0; i < built_in.size(); ++i) {
        EXPECT_EQ(built_in[i].fen, from_file[i].fen) << "position " << i + 1;
        EXPECT_EQ(built_in[i].label, from_file[i].label) << "position " << i + 1;
    }
}

}  // namespace
