#include "protocol/cecp/scan.h"

#include <cctype>
#include <climits>
#include <cstring>

static bool is_blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

static const char* skip_blanks(const char* p) {
    while (*p && is_blank(*p)) ++p;
    return p;
}

// The position just after the command word, or null when the line does not
// open with it.
static const char* after_word(const char* line, const char* word) {
    const std::size_t length = std::strlen(word);
    return std::strncmp(line, word, length) == 0 ? line + length : nullptr;
}

static const char* read_number(const char* p, int* target) {
    p = skip_blanks(p);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p))) return nullptr;
    long long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
        if (value <= INT_MAX) value = 10 * value + (*p - '0');
    if (negative) value = -value;
    *target = static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
    return p;
}

int scan_numbers(const char* line, const char* word, int* const targets[], int count) {
    const char* p = after_word(line, word);
    int read = 0;
    while (p && read < count) {
        p = read_number(p, targets[read]);
        if (p) ++read;
    }
    return read;
}

bool scan_word(const char* line, const char* word, char* target, int capacity) {
    const char* p = after_word(line, word);
    if (!p) return false;
    p = skip_blanks(p);
    if (!*p) return false;
    int n = 0;
    for (; *p && !is_blank(*p); ++p)
        if (n < capacity - 1) target[n++] = *p;
    target[n] = '\0';
    return true;
}
