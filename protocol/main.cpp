// karvosel [ARG [TABLE_EXPONENT]]: a chess engine speaking the Chess Engine
// Communication Protocol on standard input and output.
#include <climits>
#include <cstdlib>

#include "platform/platform.h"
#include "protocol/loop.h"
#include "search/tt.h"

// The argument as a decimal number (leading blanks and a sign allowed, no
// digits reading as 0); values beyond int are clamped, and are refused as
// table sizes all the same.
static int table_exponent(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

int main(int argc, char** argv) {
    platform_ignore_interrupt();
    platform_prepare_console();
    tt_set_size(argc >= 3 ? table_exponent(argv[2]) : TT_DEFAULT_EXPONENT);
    start_engine();
    run_loop();
    return 0;
}
