// `karvosel-uci bench [DEPTH]` as a distributed testing worker runs it: the
// total of `karvosel-bench DEPTH` as its one line of output, "N nodes M nps",
// without reading its input; and for arguments it does not take, a usage
// line on standard error alone and exit status 2.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/case_name.h"
#include "tests/engine_process.h"

namespace {

using namespace engine_test;

constexpr const char* USAGE = "usage: karvosel-uci bench [DEPTH]   (1 <= DEPTH < 32, default 7)\n";

enum class Stream { output, error };

// karvosel-uci bench with `words` after it and `input` on its standard input:
// what it wrote on `kept` (the other stream is discarded) and how it ended.
EngineRun uci_bench(const std::vector<std::string>& words, Stream kept,
                    const std::string& input = "") {
    // The shell keeps one stream on the pipe; "$0" is the program, "$@" the words.
    const std::string redirect = kept == Stream::output ? "2>/dev/null" : "2>&1 >/dev/null";
    std::vector<std::string> command = {"/bin/sh", "-c", "exec \"$0\" bench \"$@\" " + redirect,
                                        KARVOSEL_UCI_BINARY};
    command.insert(command.end(), words.begin(), words.end());
    EngineProcess engine(command);
    engine.write(input);
    return engine.finish();
}

struct BadArgumentsCase {
    const char* name;
    std::vector<std::string> words;
};

std::ostream& operator<<(std::ostream& out, const BadArgumentsCase& c) { return out << c.name; }

const BadArgumentsCase bad_arguments_cases[] = {
    {"not a number", {"x"}},
    {"empty word", {""}},
    {"depth 0", {"0"}},
    {"depth MAX_PLY", {"32"}},
    {"negative", {"-1"}},
    {"plus sign", {"+2"}},
    {"leading blank", {" 2"}},
    {"trailing letter", {"2x"}},
    {"beyond long", {"99999999999999999999"}},
    {"extra number", {"2", "3"}},
    {"extra word", {"2", "x"}},
};

class UciBenchBadArguments : public testing::TestWithParam<BadArgumentsCase> {};

TEST_P(UciBenchBadArguments, GetTheUsageOnStandardErrorAndStatus2) {
    const EngineRun output = uci_bench(GetParam().words, Stream::output);
    ASSERT_EQ(output.failure, "");
    EXPECT_EQ(output.output, "");
    EXPECT_EQ(describe_status(output.status), "exit status 2");
    EXPECT_EQ(uci_bench(GetParam().words, Stream::error).output, USAGE);
}

INSTANTIATE_TEST_SUITE_P(Cases, UciBenchBadArguments, testing::ValuesIn(bad_arguments_cases),
                         case_name<BadArgumentsCase>);

// The "Nodes searched" total of karvosel-bench at `depth`, -1 when missing.
long long bench_total(int depth) {
    EngineProcess bench({KARVOSEL_BENCH_BINARY, std::to_string(depth)});
    const std::string output = bench.finish().output;
    std::smatch total;
    if (!std::regex_search(output, total, std::regex("\nNodes searched +([0-9]+)\n"))) return -1;
    return std::stoll(total[1]);
}

class UciBench : public testing::TestWithParam<int> {};

TEST_P(UciBench, PrintsTheTotalOfKarvoselBenchAsItsOnlyLine) {
    const int depth = GetParam();
    // Input the bench must leave unread: the UCI loop would answer it.
    const EngineRun run = uci_bench({std::to_string(depth)}, Stream::output, "uci\nisready\n");
    ASSERT_EQ(run.failure, "");
    EXPECT_EQ(describe_status(run.status), "exit status 0");
    std::smatch line;
    ASSERT_TRUE(std::regex_match(run.output, line, std::regex("([0-9]+) nodes ([0-9]+) nps\n")))
        << visible(run.output);
    EXPECT_EQ(std::stoll(line[1]), bench_total(depth));
}

INSTANTIATE_TEST_SUITE_P(Depths, UciBench, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) {
                             return "depth_" + std::to_string(info.param);
                         });

}  // namespace
