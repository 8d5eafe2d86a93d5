#include "protocol/uci/input.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/platform.h"
#include "search/limits.h"

namespace {

// The queue and its guards; the count lets the search's clock test see
// without a lock that nothing is waiting.
struct InputQueue {
    std::mutex mutex;
    std::condition_variable line_queued;
    std::deque<InputLine> lines;
    std::atomic<bool> ended{false};
    std::atomic<int> waiting{0};
};

// Never destroyed: at `quit` the program ends while the reading thread may
// still be queueing a line.
InputQueue& input_queue = *new InputQueue;

// Reads standard input in pieces, so that no line can overrun a buffer.
void read_standard_input() {
    char piece[4096];
    InputLine line;
    while (platform_read_line(piece, sizeof piece)) {
        const std::size_t length = std::strlen(piece);
        const bool complete = length > 0 && piece[length - 1] == '\n';
        if (!line.overlong) {
            line.text.append(piece, complete ? length - 1 : length);
            if (line.text.size() > MAX_INPUT_LINE) {
                line.text.clear();
                line.text.shrink_to_fit();
                line.overlong = true;
            }
        }
        if (!complete) continue;
        queue_input_line(std::move(line));
        line = InputLine{};
    }
    if (!line.text.empty() || line.overlong) queue_input_line(std::move(line));
    queue_end_of_input();
}

}  // namespace

bool is_command(const std::string& text, const char* word) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return false;
    const std::size_t length = std::strlen(word);
    if (text.compare(start, length, word) != 0) return false;
    return start + length == text.size() || text[start + length] == ' ' ||
           text[start + length] == '\t';
}

void start_input_thread() {
    // The thread ends with the input; at `quit` the program ends without it.
    std::thread(read_standard_input).detach();
}

void queue_input_line(InputLine line) {
    if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
    const bool stops = is_command(line.text, "stop") || is_command(line.text, "quit");
    {
        const std::lock_guard<std::mutex> lock(input_queue.mutex);
        // A stop behind other lines is meant for a later search: the lines
        // before it come first, and the clock test finds it once it leads.
        if (stops && input_queue.lines.empty())
            search_limits.stop_requested.store(true, std::memory_order_relaxed);
        input_queue.lines.push_back(std::move(line));
        input_queue.waiting.fetch_add(1, std::memory_order_release);
    }
    input_queue.line_queued.notify_one();
}

void queue_end_of_input() {
    {
        const std::lock_guard<std::mutex> lock(input_queue.mutex);
        input_queue.ended.store(true, std::memory_order_release);
    }
    input_queue.line_queued.notify_one();
}

void reset_input() {
    const std::lock_guard<std::mutex> lock(input_queue.mutex);
    input_queue.lines.clear();
    input_queue.ended.store(false);
    input_queue.waiting.store(0, std::memory_order_relaxed);
}

bool next_input_line(InputLine* line) {
    std::unique_lock<std::mutex> lock(input_queue.mutex);
    input_queue.line_queued.wait(
        lock, [] { return !input_queue.lines.empty() || input_queue.ended.load(); });
    if (input_queue.lines.empty()) return false;
    *line = std::move(input_queue.lines.front());
    input_queue.lines.pop_front();
    input_queue.waiting.fetch_sub(1, std::memory_order_relaxed);
    return true;
}

bool peek_input_line(InputLine* line) {
    if (input_queue.waiting.load(std::memory_order_acquire) == 0) return false;
    const std::lock_guard<std::mutex> lock(input_queue.mutex);
    if (input_queue.lines.empty()) return false;
    *line = input_queue.lines.front();
    return true;
}

void drop_input_line() {
    const std::lock_guard<std::mutex> lock(input_queue.mutex);
    if (input_queue.lines.empty()) return;
    input_queue.lines.pop_front();
    input_queue.waiting.fetch_sub(1, std::memory_order_relaxed);
}

bool input_exhausted() {
    return input_queue.ended.load(std::memory_order_acquire) &&
           input_queue.waiting.load(std::memory_order_acquire) == 0;
}
