#include "protocol/uci/limits.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

// A decimal integer in [low, high], the whole word; values beyond it are clamped.
bool read_integer(const std::string& word, long long low, long long high, long long* value) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0') return false;
    *value = errno == ERANGE ? (n < 0 ? low : high) : n < low ? low : n > high ? high : n;
    return true;
}

// The go words that take one number, with the range kept and where it goes.
struct NumberWord {
    const char* word;
    long long low;
    long long high;
};

constexpr long long MAX_MS = LLONG_MAX / 4;

constexpr NumberWord number_words[] = {
    {"wtime", LLONG_MIN / 4, MAX_MS},
    {"btime", LLONG_MIN / 4, MAX_MS},
    {"winc", 0, MAX_MS},
    {"binc", 0, MAX_MS},
    {"movestogo", 0, INT_MAX},
    {"movetime", 0, MAX_MS},
    {"depth", 0, INT_MAX},
    {"nodes", 0, LLONG_MAX},
    {"mate", 0, INT_MAX},
};

void store(GoLimits* limits, const char* word, long long value) {
    if (!std::strcmp(word, "wtime")) limits->time_ms[WHITE] = value < 0 ? 0 : value;
    if (!std::strcmp(word, "btime")) limits->time_ms[BLACK] = value < 0 ? 0 : value;
    if (!std::strcmp(word, "winc")) limits->increment_ms[WHITE] = value;
    if (!std::strcmp(word, "binc")) limits->increment_ms[BLACK] = value;
    if (!std::strcmp(word, "movestogo")) limits->moves_to_go = static_cast<int>(value);
    if (!std::strcmp(word, "movetime")) limits->move_time_ms = value;
    if (!std::strcmp(word, "depth")) limits->depth = static_cast<int>(value);
    if (!std::strcmp(word, "nodes")) limits->nodes = value;
    if (!std::strcmp(word, "mate")) limits->mate = static_cast<int>(value);
}

bool is_go_word(const std::string& word) {
    for (const NumberWord& number : number_words)
        if (word == number.word) return true;
    return word == "infinite" || word == "ponder" || word == "searchmoves";
}

}  // namespace

GoLimits parse_go(const std::string& arguments, std::string* complaints) {
    GoLimits limits;
    std::istringstream words(arguments);
    std::string word;
    bool have_next = static_cast<bool>(words >> word);
    while (have_next) {
        const std::string current = word;
        have_next = static_cast<bool>(words >> word);
        if (current == "infinite") {
            limits.infinite = true;
            continue;
        }
        if (current == "ponder") {
            limits.ponder = true;
            continue;
        }
        if (current == "searchmoves") {
            // The moves run up to the next go word.
            while (have_next && !is_go_word(word)) {
                limits.search_moves.push_back(word);
                have_next = static_cast<bool>(words >> word);
            }
            continue;
        }
        const NumberWord* number = nullptr;
        for (const NumberWord& candidate : number_words)
            if (current == candidate.word) number = &candidate;
        if (number == nullptr) {
            *complaints += "go: unknown word " + current + "\n";
            continue;
        }
        long long value = 0;
        if (!have_next || !read_integer(word, number->low, number->high, &value)) {
            *complaints += "go " + current + ": a number must follow\n";
            continue;
        }
        have_next = static_cast<bool>(words >> word);
        if (current == "mate" && value == 0) {
            *complaints += "go mate: a number of moves from 1 up must follow\n";
            continue;
        }
        store(&limits, number->word, value);
    }
    return limits;
}

bool searches_until_stopped(const GoLimits& limits) {
    if (limits.infinite || limits.ponder) return true;
    return limits.time_ms[WHITE] == NO_CLOCK && limits.time_ms[BLACK] == NO_CLOCK &&
           limits.move_time_ms == 0 && limits.depth == 0 && limits.nodes == 0 && limits.mate == 0;
}
