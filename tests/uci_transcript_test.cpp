// End-to-end transcripts of karvosel-uci: the real binary, driven through pipes.
//
// Every tests/uci-transcripts/NAME.in is one test case, named NAME:
//   NAME.in    lines sent to the program's standard input, except that a line
//              "#WAIT TEXT" is not sent: there the harness waits (at most
//              10 s) until the program has printed a line that starts with
//              TEXT. Standard input is closed after the last line.
//   NAME.out   the whole standard output, compared line for line once the
//              wall-clock fields of info lines (the values after "time" and
//              "nps") are masked in both texts. An expected line "#ANY TEXT"
//              stands for any number of lines starting with TEXT (none
//              included), "#ONE TEXT" for exactly one such line: where a
//              search is stopped from outside, how far it got depends on the
//              clock.
// The program must exit with status 0 within 60 seconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/engine_process.h"

namespace {

using namespace engine_test;

constexpr const char* WAIT_DIRECTIVE = "#WAIT ";
constexpr const char* ANY_DIRECTIVE = "#ANY ";
constexpr const char* ONE_DIRECTIVE = "#ONE ";
constexpr auto WAIT_LIMIT = std::chrono::seconds(10);

fs::path transcript_dir() { return fs::path(KARVOSEL_TEST_DATA) / "uci-transcripts"; }

bool starts_with(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string without_line_break(std::string line) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

// In an info line, the value after the word `label` becomes "#".
std::string mask_value(std::string line, const std::string& label) {
    const std::size_t start = line.find(" " + label + " ");
    if (start == std::string::npos) return line;
    const std::size_t value = start + label.size() + 2;
    const std::size_t end = std::min(line.find_first_of(" \n", value), line.size());
    return line.replace(value, end - value, "#");
}

std::string mask_line(const std::string& line) {
    if (!starts_with(line, "info ")) return line;
    return mask_value(mask_value(line, "time"), "nps");
}

// The expected lines, with their directives, against the actual ones; an
// empty result means they match, otherwise it shows the first difference.
std::string compare(const std::vector<std::string>& want, const std::vector<std::string>& got) {
    std::size_t g = 0;
    for (std::size_t w = 0; w < want.size(); ++w) {
        const std::string expected = without_line_break(want[w]);
        if (starts_with(expected, ANY_DIRECTIVE)) {
            const std::string prefix = expected.substr(std::string(ANY_DIRECTIVE).size());
            while (g < got.size() && starts_with(got[g], prefix)) ++g;
            continue;
        }
        const std::string actual = g < got.size() ? without_line_break(got[g]) : "<end of output>";
        const bool one = starts_with(expected, ONE_DIRECTIVE);
        const bool matches =
            g < got.size() &&
            (one ? starts_with(actual, expected.substr(std::string(ONE_DIRECTIVE).size()))
                 : actual == expected);
        if (!matches)
            return "line " + std::to_string(g + 1) + ": expected\n  " + visible(expected) +
                   "\ngot\n  " + visible(actual) + "\n";
        ++g;
    }
    if (g < got.size()) return "unexpected line " + std::to_string(g + 1) + ": " + visible(got[g]);
    return "";
}

std::vector<std::string> masked_lines(const std::string& text) {
    std::vector<std::string> lines = split_lines(text);
    for (std::string& line : lines) line = mask_line(line);
    return lines;
}

class UciTranscript : public ::testing::TestWithParam<std::string> {};

TEST_P(UciTranscript, OutputMatches) {
    const fs::path base = transcript_dir() / GetParam();
    const fs::path expected_path = fs::path(base).replace_extension(".out");
    ASSERT_TRUE(fs::exists(expected_path)) << expected_path << " is missing";

    // The same environment as the other suite's selects a build for another
    // system: KARVOSEL_UCI_ENGINE, KARVOSEL_CRLF_INPUT, KARVOSEL_CRLF_OUTPUT.
    const bool crlf_input = environment_flag("KARVOSEL_CRLF_INPUT");
    EngineProcess engine(engine_command("KARVOSEL_UCI_ENGINE", KARVOSEL_UCI_BINARY));
    ASSERT_TRUE(engine.started());
    for (const std::string& line :
         split_lines(read_file(fs::path(base).replace_extension(".in")))) {
        if (starts_with(line, WAIT_DIRECTIVE))
            engine.wait_for_line(
                without_line_break(line.substr(std::string(WAIT_DIRECTIVE).size())), WAIT_LIMIT);
        else
            engine.write(crlf_input ? with_crlf(line) : line);
    }
    const EngineRun run = engine.finish();
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    ASSERT_FALSE(run.timed_out) << "no exit within " << TRANSCRIPT_TIMEOUT.count()
                                << " s; output so far:\n"
                                << run.output;
    std::string output = run.output;
    if (environment_flag("KARVOSEL_CRLF_OUTPUT")) {
        ASSERT_TRUE(from_crlf(run.output, &output)) << "a line break without CR:\n" << run.output;
    }
    const std::string difference =
        compare(masked_lines(read_file(expected_path)), masked_lines(output));
    EXPECT_TRUE(difference.empty()) << GetParam() << ": " << difference;
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0)
        << describe_status(run.status);
}

INSTANTIATE_TEST_SUITE_P(Transcripts, UciTranscript,
                         ::testing::ValuesIn(transcript_names(transcript_dir())),
                         transcript_test_name);

TEST(UciTranscriptCompare, DirectivesAndMasks) {
    const std::vector<std::string> want = {"readyok\n", "#ANY info\n", "#ONE bestmove \n"};
    EXPECT_EQ(compare(want, {"readyok\n", "info depth 1\n", "info depth 2\n", "bestmove e2e4\n"}),
              "");
    EXPECT_EQ(compare(want, {"readyok\n", "bestmove a2a3\n"}), "");
    EXPECT_NE(compare(want, {"readyok\n", "info depth 1\n"}), "");
    EXPECT_NE(compare(want, {"readyok\n", "bestmove e2e4\n", "bestmove e2e4\n"}), "");
    EXPECT_EQ(mask_line("info depth 3 score cp 35 time 12 nodes 988 nps 82333 pv d2d4\n"),
              "info depth 3 score cp 35 time # nodes 988 nps # pv d2d4\n");
    EXPECT_EQ(mask_line("info string the time 12 stays\n"), "info string the time # stays\n");
    EXPECT_EQ(mask_line("bestmove e2e4\n"), "bestmove e2e4\n");
}

// movetime T: the move arrives within T and a few milliseconds, measured here
// from the `go` to the bestmove line, with room for a loaded machine.
TEST(UciTiming, MoveTimeIsKept) {
    constexpr int MOVE_TIME_MS = 300;
    constexpr int ALLOWANCE_MS = 100;
    EngineProcess engine({KARVOSEL_UCI_BINARY});
    ASSERT_TRUE(engine.started());
    engine.write("uci\nisready\n");
    engine.wait_for_line("readyok", WAIT_LIMIT);
    const auto start = Clock::now();
    engine.write("position startpos\ngo movetime " + std::to_string(MOVE_TIME_MS) + "\n");
    engine.wait_for_line("bestmove ", WAIT_LIMIT);
    const auto taken = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_LE(taken.count(), MOVE_TIME_MS + ALLOWANCE_MS);
    EXPECT_EQ(engine.finish().status, 0);
}

}  // namespace
