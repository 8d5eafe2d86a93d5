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
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto TRANSCRIPT_TIMEOUT = std::chrono::seconds(60);
constexpr int SIGINT_SETTLE_MS = 200;
// How long to wait for the engine's first output before interrupting it anyway.
constexpr auto STARTUP_WAIT = std::chrono::seconds(10);
constexpr const char* SIGINT_LINE = "#SIGINT";

fs::path transcript_dir() { return fs::path(KARVOSEL_TEST_DATA) / "transcripts"; }

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool environment_flag(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && std::string(value) == "1";
}

// The engine's program and leading arguments.
std::vector<std::string> engine_command() {
    const char* command = std::getenv("KARVOSEL_ENGINE");
    if (command == nullptr || *command == '\0') return {KARVOSEL_BINARY};
    std::vector<std::string> words;
    std::istringstream text(command);
    for (std::string word; text >> word;) words.push_back(word);
    return words;
}

// Every LF of `text` preceded by a CR.
std::string with_crlf(const std::string& text) {
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

// Windows text back to the bytes written: each CR LF becomes LF. False when
// some LF came without its CR.
bool from_crlf(const std::string& text, std::string* converted) {
    converted->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
        *converted += text[i];
    }
    return true;
}

std::vector<std::string> transcript_names() {
    std::vector<std::string> names;
    if (!fs::is_directory(transcript_dir())) return names;
    for (const fs::directory_entry& entry : fs::directory_iterator(transcript_dir()))
        if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

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

struct EngineRun {
    std::string output;
    int status = 0;
    bool timed_out = false;
    std::string failure;  // why the engine could not be run
};

// One engine process with its standard input and output on pipes.
class EngineProcess {
   public:
    explicit EngineProcess(const std::vector<std::string>& args)
        : deadline_(Clock::now() + TRANSCRIPT_TIMEOUT) {
        // A write after the engine has quit must fail with EPIPE, not end the test.
        std::signal(SIGPIPE, SIG_IGN);
        int to_engine[2];
        int from_engine[2];
        if (pipe2(to_engine, O_CLOEXEC) != 0 || pipe2(from_engine, O_CLOEXEC) != 0) {
            run_.failure = "pipe failed";
            return;
        }
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(to_engine[0], STDIN_FILENO);
            dup2(from_engine[1], STDOUT_FILENO);
            // Dispositions and the mask survive exec: give the engine the defaults.
            std::signal(SIGPIPE, SIG_DFL);
            std::signal(SIGINT, SIG_DFL);
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(to_engine[0]);
        close(from_engine[1]);
        if (pid_ < 0) {
            close(to_engine[1]);
            close(from_engine[0]);
            run_.failure = "fork failed";
            return;
        }
        input_ = to_engine[1];
        output_ = from_engine[0];
        fcntl(input_, F_SETFL, O_NONBLOCK);
        fcntl(output_, F_SETFL, O_NONBLOCK);
    }

    ~EngineProcess() {
        if (input_ >= 0) close(input_);
        if (output_ >= 0) close(output_);
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool started() const { return pid_ > 0; }

    // Writes all of `text`, reading output meanwhile so the engine never blocks.
    // Input the engine no longer reads (it has quit) is dropped.
    void write(const std::string& text) {
        std::size_t done = 0;
        while (input_ >= 0 && done < text.size() && !timed_out()) {
            pollfd fds[2] = {{input_, POLLOUT, 0}, {output_, POLLIN, 0}};
            if (poll(fds, 2, remaining_ms()) <= 0) continue;
            if (fds[1].revents) read_available();
            if (!fds[0].revents) continue;
            const ssize_t n = ::write(input_, text.data() + done, text.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                close_input();
        }
    }

    // Once the engine is running (it has printed something) and has had time
    // for the lines already sent, interrupts it.
    void interrupt() {
        const auto started_by = std::min(deadline_, Clock::now() + STARTUP_WAIT);
        while (run_.output.empty() && output_ >= 0 && Clock::now() < started_by)
            read_for(ms_until(started_by));
        const auto settle_until = Clock::now() + std::chrono::milliseconds(SIGINT_SETTLE_MS);
        while (Clock::now() < settle_until && output_ >= 0) read_for(ms_until(settle_until));
        std::this_thread::sleep_until(settle_until);
        kill(pid_, SIGINT);
    }

    // Closes standard input, reads to the end of output and waits for the exit.
    EngineRun finish() {
        close_input();
        while (output_ >= 0 && !timed_out()) read_for(remaining_ms());
        while (!reaped_ && !timed_out()) {
            int status = 0;
            const pid_t done = waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                reaped_ = true;
                run_.status = status;
            } else {
                poll(nullptr, 0, 10);
            }
        }
        run_.timed_out = !reaped_;
        return run_;
    }

   private:
    bool timed_out() const { return Clock::now() >= deadline_; }
    static int ms_until(Clock::time_point when) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()));
    }
    int remaining_ms() const { return ms_until(deadline_); }

    void close_input() {
        if (input_ >= 0) close(input_);
        input_ = -1;
    }

    void read_for(int timeout_ms) {
        pollfd fd = {output_, POLLIN, 0};
        if (poll(&fd, 1, timeout_ms) > 0) read_available();
    }

    void read_available() {
        char buffer[4096];
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n > 0) {
            run_.output.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            close(output_);
            output_ = -1;
        }
    }

    Clock::time_point deadline_;
    pid_t pid_ = -1;
    bool reaped_ = false;
    int input_ = -1;
    int output_ = -1;
    EngineRun run_;
};

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
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

// A line with its control and non-ASCII bytes made visible.
std::string visible(const std::string& line) {
    std::string shown;
    for (unsigned char c : line) {
        if (c == '\n') continue;
        if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            shown += escape;
        }
    }
    if (!line.empty() && line.back() != '\n') shown += "  (no line break)";
    return shown;
}

// The first difference, with a few lines of context, in the manner of a unified diff.
std::string describe_difference(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> want = split_lines(expected);
    const std::vector<std::string> got = split_lines(actual);
    std::size_t first = 0;
    while (first < want.size() && first < got.size() && want[first] == got[first]) ++first;
    std::ostringstream out;
    out << "first difference at line " << first + 1 << " (expected " << want.size()
        << " lines, got " << got.size() << ")\n";
    const std::size_t context = 3;
    for (std::size_t i = first > context ? first - context : 0; i < first; ++i)
        out << "  " << visible(want[i]) << "\n";
    for (std::size_t i = first; i < std::min(want.size(), first + 2 * context); ++i)
        out << "- " << visible(want[i]) << "\n";
    if (first >= want.size()) out << "- <end of output>\n";
    for (std::size_t i = first; i < std::min(got.size(), first + 2 * context); ++i)
        out << "+ " << visible(got[i]) << "\n";
    if (first >= got.size()) out << "+ <end of output>\n";
    return out.str();
}

std::string describe_status(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

class EngineTranscript : public ::testing::TestWithParam<std::string> {};

TEST_P(EngineTranscript, OutputMatches) {
    const fs::path base = transcript_dir() / GetParam();
    const fs::path expected_path = fs::path(base).replace_extension(".out");
    const fs::path args_path = fs::path(base).replace_extension(".args");
    ASSERT_TRUE(fs::exists(expected_path)) << expected_path << " is missing";

    std::vector<std::string> args = engine_command();
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

std::string test_name(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Transcripts, EngineTranscript, ::testing::ValuesIn(transcript_names()),
                         test_name);

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
