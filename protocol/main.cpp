// karvosel [ARG [TABLE_EXPONENT]]: a chess engine speaking the Chess Engine
// Communication Protocol on standard input and output.
#include <csignal>
#include <cstdio>

#include "protocol/arguments.h"
#include "protocol/loop.h"
#include "search/tt.h"

int main(int argc, char** argv) {
    // Interfaces interrupt a thinking engine with SIGINT before each move they
    // relay; the engine never polls input while it searches, so it ignores it.
    std::signal(SIGINT, SIG_IGN);
    // Every reply must reach the interface the moment it is written.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    tt_set_size(argc >= 3 ? table_exponent_argument(argv[2]) : TT_DEFAULT_EXPONENT);
    start_engine();
    run_loop();
    return 0;
}
