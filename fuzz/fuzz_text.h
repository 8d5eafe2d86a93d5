// Small text helpers for the parser targets: an input as one line of the
// loop, and a reading of decimal numbers written here apart from the
// engine's, against which its readers are compared.
#pragma once

#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Copies the input's first line (its line break included, at most
// capacity - 1 bytes) into `line`, as the loop's line reader would give it.
inline void input_as_line(const std::uint8_t* data, std::size_t size, char* line,
                          std::size_t capacity) {
    std::size_t n = 0;
    while (n < size && n < capacity - 1) {
        line[n] = static_cast<char>(data[n]);
        if (line[n++] == '\n') break;
    }
    line[n] = '\0';
}

// Copies the input up to its first zero byte (at most capacity - 1 bytes)
// into `text`, as a C string such as a program argument.
inline void input_as_string(const std::uint8_t* data, std::size_t size, char* text,
                            std::size_t capacity) {
    std::size_t n = 0;
    while (n < size && n < capacity - 1 && data[n] != 0) text[n] = static_cast<char>(data[n]), ++n;
    text[n] = '\0';
}

// A decimal number after white space, with an optional sign; its value
// saturates at `low` and `high`. Returns the text after it, or null when no
// digit follows.
inline const char* reference_number(const char* p, long long low, long long high,
                                    long long* value) {
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return nullptr;
    long long v = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        const int digit = *p - '0';
        // Accumulated as a negative number, whose range holds both limits.
        v = v < (LLONG_MIN + digit) / 10 ? LLONG_MIN : 10 * v - digit;
    }
    if (!negative) v = v == LLONG_MIN ? LLONG_MAX : -v;
    *value = v < low ? low : v > high ? high : v;
    return p;
}
