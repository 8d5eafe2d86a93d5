// End-to-end transcripts: the real engine binary, driven through pipes.
//
// Every tests/transcripts/NAME.in is one test case, named NAME:
//   NAME.in    bytes sent to the engine's standard input as they stand, except
//              that a line consisting of exactly "#SIGINT" is not sent: there
//              the harness waits until the engine has printed something and
//              200 ms more, sends SIGINT to it, and goes on with the next line.
//              Standard input is closed after the last byte.
//   NAME.out   the engine's whole standard output, expected byte for byte once
//              the wall-clock fields are masked in both texts: the centiseconds
//              (third number) of thinking lines and mate announcements, and
//              Time and NPS of "tellics whisper Depth:" lines.
//   NAME.args  optional: extra program arguments separated by white space,
//              e.g. "x 16" (the second argument is the table-size exponent).
// The engine must exit with status 0 within 60 seconds.
//
// The same cases check a build for another system, run through a loader:
//   KARVOSEL_ENGINE       the engine command in place of the built binary,
//                         words separated by blanks, e.g.
//                         "/usr/lib/wine/wine64 build-windows/protocol/karvosel.exe"
//   KARVOSEL_CRLF_OUTPUT  "1": the engine writes text the Windows way; every
//                         line break must be CR LF, and reads as LF
//   KARVOSEL_CRLF_INPUT   "1": every LF of NAME.in is sent as CR LF
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine_process.h"

namespace {

using namespace engine_test;
namespace fs = std::filesystem;
constexpr const char* SIGINT_LINE = "#SIGINT";

fs::path transcript_dir() { return fs::path(KARVOSEL_TEST_DATA) / "transcripts"; }

// The input split at its "#SIGINT" lines: SIGINT goes between two pieces.
std::vector<std::string> split_at_interrupts(const std::string& input) {
    std::vector<std::string> pieces(1);
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find('\n', start);
        end = end == std::string::npos ? input.size() : end + 1;
        const std::string line = input.substr(start, end - start);
        if (line == SIGINT_LINE || line == std::string(SIGINT_LINE) + "\n")
            pieces.emplace_back();
        else
            pieces.back() += line;
        start = end;
    }
    return pieces;
}

// Reads a run of `min_count` or more characters of `kind` at `at`; false if shorter.
bool skip_run(const std::string& line, std::size_t& at, int (*kind)(int), std::size_t min_count) {
    const std::size_t start = at;
    while (at < line.size() && kind(static_cast<unsigned char>(line[at]))) ++at;
    return at - start >= min_count;
}

int is_blank(int c) { return c == ' '; }
int is_digit(int c) { return c >= '0' && c <= '9'; }

bool skip_number(const std::string& line, std::size_t& at) {
    if (at < line.size() && line[at] == '-') ++at;
    return skip_run(line, at, is_digit, 1);
}

// A thinking line, "%3d  %5d %5d  %9ld ..." (or a mate announcement, whose
// fourth field is a literal 0): the third number with its padding becomes " #".
std::string mask_thinking_line(const std::string& line) {
    std::size_t at = 0;
    skip_run(line, at, is_blank, 0);
    if (!skip_number(line, at) || !skip_run(line, at, is_blank, 2) || !skip_number(line, at))
        return line;
    const std::size_t time_start = at;
    if (!skip_run(line, at, is_blank, 1) || !skip_run(line, at, is_digit, 1)) return line;
    const std::size_t time_end = at;
    if (!skip_run(line, at, is_blank, 2) || !skip_run(line, at, is_digit, 1)) return line;
    if (at < line.size() && line[at] != ' ' && line[at] != '\n') return line;
    return line.substr(0, time_start) + " #" + line.substr(time_end);
}

// The value after `label` up to the next blank becomes "#".
std::string mask_field(std::string line, const std::string& label) {
    const std::size_t start = line.find(label);
    if (start == std::string::npos) return line;
    const std::size_t value = start + label.size();
    const std::size_t end = std::min(line.find_first_of(" \n", value), line.size());
    return line.replace(value, end - value, "#");
}

// Replaces what depends on the wall clock by '#'.
std::string mask_clock_fields(const std::string& text) {
    std::string masked;
    for (const std::string& line : split_lines(text)) {
        if (line.rfind("tellics whisper Depth:", 0) == 0)
            masked += mask_field(mask_field(line, " Time:"), " NPS:");
        else
            masked += mask_thinking_line(line);
    }
    return masked;
}

class EngineTranscript : public ::testing::TestWithParam<std::string> {};

TEST_P(EngineTranscript, OutputMatches) {
    const fs::path base = transcript_dir() / GetParam();
    const fs::path expected_path = fs::path(base).replace_extension(".out");
    const fs::path args_path = fs::path(base).replace_extension(".args");
    ASSERT_TRUE(fs::exists(expected_path)) << expected_path << " is missing";

    std::vector<std::string> args = engine_command("KARVOSEL_ENGINE", KARVOSEL_BINARY);
    if (fs::exists(args_path)) {
        std::istringstream words(read_file(args_path));
        for (std::string word; words >> word;) args.push_back(word);
    }

    const std::vector<std::string> pieces =
        split_at_interrupts(read_file(fs::path(base).replace_extension(".in")));
    const bool crlf_input = environment_flag("KARVOSEL_CRLF_INPUT");
    EngineProcess engine(args);
    ASSERT_TRUE(engine.started());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) engine.interrupt();
        engine.write(crlf_input ? with_crlf(pieces[i]) : pieces[i]);
    }
    const EngineRun run = engine.finish();
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    ASSERT_FALSE(run.timed_out) << "the engine did not finish within " << TRANSCRIPT_TIMEOUT.count()
                                << " s; output so far:\n"
                                << run.output;

    std::string output = run.output;
    if (environment_flag("KARVOSEL_CRLF_OUTPUT")) {
        ASSERT_TRUE(from_crlf(run.output, &output)) << "a line break without CR:\n" << run.output;
    }
    const std::string expected = mask_clock_fields(read_file(expected_path));
    const std::string actual = mask_clock_fields(output);
    EXPECT_TRUE(expected == actual) << GetParam() << ": " << describe_difference(expected, actual);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0)
        << describe_status(run.status);
}

INSTANTIATE_TEST_SUITE_P(Transcripts, EngineTranscript,
                         ::testing::ValuesIn(transcript_names(transcript_dir())),
                         transcript_test_name);

// The masking itself: clock fields go, everything else stays.
TEST(TranscriptMask, MasksOnlyWallClockFields) {
    const struct {
        const char* line;
        const char* masked;
    } cases[] = {
        {"  3     35    12       4821 e2e4 e7e5 g1f3\n",
         "  3     35 #       4821 e2e4 e7e5 g1f3\n"},
        {" 10   -120 123456  123456789 d7d5\n", " 10   -120 #  123456789 d7d5\n"},
        {"  1  -10000     0          1\n", "  1  -10000 #          1\n"},
        {"  4  10000     3  0 Mate in 2\n", "  4  10000 #  0 Mate in 2\n"},
        {"  1  10000     0  0 Checkmate\n", "  1  10000 #  0 Checkmate\n"},
        {"tellics whisper Depth:3 Score:0.35 Time:0.12 Nodes:4821 NPS:40175 PV:e7e5 g1f3 \n",
         "tellics whisper Depth:3 Score:0.35 Time:# Nodes:4821 NPS:# PV:e7e5 g1f3 \n"},
        {"tellics whisper Mate in 2\n", "tellics whisper Mate in 2\n"},
        {"8  r n b q k b n r\n", "8  r n b q k b n r\n"},
        {"Error (unknown command): 1  2 3  4\n", "Error (unknown command): 1  2 3  4\n"},
        {"Entries = 1024K\n", "Entries = 1024K\n"},
        {"1 2 3 4\n", "1 2 3 4\n"},
        {"  2     17    40       9135x\n", "  2     17    40       9135x\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(mask_clock_fields(c.line), c.masked) << c.line;
}

// Windows text and back: a CR of the bytes written stays, LF alone is refused.
TEST(TranscriptLineEnds, CrLfRoundTrip) {
    for (const std::string text : {"", "a\n", "a\rb\n\n", "a\r\n", "\r", "x"}) {
        std::string back;
        EXPECT_TRUE(from_crlf(with_crlf(text), &back)) << visible(text);
        EXPECT_EQ(back, text) << visible(text);
    }
    std::string back;
    EXPECT_FALSE(from_crlf("a\r\nb\n", &back));
    EXPECT_FALSE(from_crlf("\n", &back));
}

}  // namespace
