// karvosel-uci: the Karvosel engine speaking the Universal Chess Interface on
// standard input and output.
#include <cstdio>

#include "platform/platform.h"
#include "protocol/uci/input.h"
#include "protocol/uci/uci.h"

int main() {
    // A terminal's interrupt, or a host's meant for another program of its
    // process group, does not end the engine: `quit` and the end of input do.
    platform_ignore_interrupt();
    platform_prepare_console();
    start_uci_engine();
    start_input_thread();
    run_uci_loop();
    std::fflush(stdout);
    return 0;
}
