// The Universal Chess Interface front end: the command loop of karvosel-uci
// over the engine's one position, game record, table and search.
#pragma once

#include <string>

#include "protocol/uci/input.h"
#include "protocol/uci/options.h"

// For harnesses that must run every input the same way (the fuzzer): with
// uci_ignore_clock set, the clock and movetime of `go` are read and checked,
// but only node limits and the depth end a search.
extern bool uci_ignore_clock;

// The engine at program start: keys, the start position, killers and history
// cleared, a table of `hash_mib`, the search reporting in `info` lines.
void start_uci_engine(long long hash_mib = HASH_DEFAULT_MIB);
// Carries out one line taken from the input queue (protocol/uci/input.h);
// false when the program is to end.
bool handle_uci_line(const InputLine& line);
// Carries out the lines of the input queue until `quit` or the end of the
// input; the table is released then.
void run_uci_loop();
