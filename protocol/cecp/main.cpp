// karvosel [ARG [TABLE_EXPONENT]]: a chess engine speaking the Chess Engine
// Communication Protocol on standard input and output.
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "protocol/cecp/arguments.h"
#include "protocol/cecp/loop.h"
#include "search/tt.h"
#include "version.h"

// "--help" and "--version" as the first argument answer and end the program
// before the engine starts; interfaces never pass these words, and any other
// first argument is ignored as always. True when the argument was one of them.
static bool answer_information_request(const char* argument) {
    if (std::strcmp(argument, "--version") == 0) {
        std::printf("%s %s\n", ENGINE_NAME, ENGINE_VERSION);
        return true;
    }
    if (std::strcmp(argument, "--help") == 0) {
        std::printf(
            "Usage: karvosel [ANY [N]]\n"
            "       karvosel --help | --version\n"
            "A chess engine speaking the Chess Engine Communication Protocol (version 1)\n"
            "on standard input and output. The first argument ANY is not used; N sizes\n"
            "the transposition table at 2^N entries (%d to %d, default %d).\n"
            "Type 'help' to the running engine for its commands; see man 6 karvosel.\n",
            TT_MIN_EXPONENT, TT_MAX_EXPONENT, TT_DEFAULT_EXPONENT);
        return true;
    }
    return false;
}

int main(int argc, char** argv) {
    if (argc >= 2 && answer_information_request(argv[1])) return 0;
    platform_ignore_interrupt();
    platform_prepare_console();
    tt_set_size(argc >= 3 ? table_exponent_argument(argv[2]) : TT_DEFAULT_EXPONENT);
    start_engine();
    run_loop();
    return 0;
}
