#include "protocol/cecp/arguments.h"

#include <climits>
#include <cstdlib>

int table_exponent_argument(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}
