// karvosel-uci: the Karvosel engine speaking the Universal Chess Interface on
// standard input and output.
#include <csignal>
#include <cstdio>

#include "protocol/uci/input.h"
#include "protocol/uci/uci.h"

int main() {
    // A terminal's interrupt, or a host's meant for another program of its
    // process group, does not end the engine: `quit` and the end of input do.
    std::signal(SIGINT, SIG_IGN);
    start_uci_engine();
    start_input_thread();
    run_uci_loop();
    std::fflush(stdout);
    return 0;
}
