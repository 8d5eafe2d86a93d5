// One engine process driven through pipes, for the end-to-end tests: its
// standard input written, its whole output read, its exit awaited; the
// transcript files of a directory; and the helpers that show how an output
// differs from the one expected.
#pragma once

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

namespace engine_test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto TRANSCRIPT_TIMEOUT = std::chrono::seconds(60);
constexpr int SIGINT_SETTLE_MS = 200;
// How long to wait for the engine's first output before interrupting it anyway.
constexpr auto STARTUP_WAIT = std::chrono::seconds(10);

inline std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names NAME of the files NAME.in in `directory`, sorted.
inline std::vector<std::string> transcript_names(const fs::path& directory) {
    std::vector<std::string> names;
    if (!fs::is_directory(directory)) return names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A transcript's name as a test name: letters and digits, the rest as '_'.
inline std::string transcript_test_name(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

inline std::vector<std::string> split_lines(const std::string& text) {
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

inline bool environment_flag(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && std::string(value) == "1";
}

// The engine's program and leading arguments: `binary`, or the words of the
// environment variable `variable` when it is set, e.g. a loader and the
// program for another system ("/usr/lib/wine/wine64 build-windows/protocol/karvosel.exe").
inline std::vector<std::string> engine_command(const char* variable, const char* binary) {
    const char* command = std::getenv(variable);
    if (command == nullptr || *command == '\0') return {binary};
    std::vector<std::string> words;
    std::istringstream text(command);
    for (std::string word; text >> word;) words.push_back(word);
    return words;
}

// Every LF of `text` preceded by a CR.
inline std::string with_crlf(const std::string& text) {
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

// Windows text back to the bytes written: each CR LF becomes LF. False when
// some LF came without its CR.
inline bool from_crlf(const std::string& text, std::string* converted) {
    converted->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
        *converted += text[i];
    }
    return true;
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

    // Reads output until a line starting with `prefix` has arrived after the
    // line the previous wait found, or `wait` has passed.
    void wait_for_line(const std::string& prefix, std::chrono::milliseconds wait) {
        const auto until = std::min(deadline_, Clock::now() + wait);
        while (!found_line(prefix) && output_ >= 0 && Clock::now() < until)
            read_for(ms_until(until));
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
    // Whether a whole line starting with `prefix` has arrived since the
    // previous find; if so, the next search starts behind it.
    bool found_line(const std::string& prefix) {
        const std::string& out = run_.output;
        for (std::size_t at = waited_to_; at < out.size();) {
            const std::size_t end = out.find('\n', at);
            if (end == std::string::npos) return false;
            if (out.compare(at, prefix.size(), prefix) == 0) {
                waited_to_ = end + 1;
                return true;
            }
            at = end + 1;
        }
        return false;
    }

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
    std::size_t waited_to_ = 0;  // where wait_for_line looks next
    EngineRun run_;
};

// A line with its control and non-ASCII bytes made visible.
inline std::string visible(const std::string& line) {
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
inline std::string describe_difference(const std::string& expected, const std::string& actual) {
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

inline std::string describe_status(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

}  // namespace engine_test
