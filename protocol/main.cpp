// karvosel [ARG [TABLE_EXPONENT]]: a chess engine speaking the Chess Engine
// Communication Protocol on standard input and output.
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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
    // Interfaces interrupt a thinking engine with SIGINT before each move they
    // relay; the engine never polls input while it searches, so it ignores it.
    std::signal(SIGINT, SIG_IGN);
    // Every reply must reach the interface the moment it is written.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tt_set_size(argc >= 3 ? table_exponent(argv[2]) : TT_DEFAULT_EXPONENT);
    start_engine();
    run_loop();
    return 0;
}
