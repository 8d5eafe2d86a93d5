// The Universal Chess Interface front end: the command loop of karvosel-uci
// over the engine's one position, game record, table and search.
#pragma once

#include <string>

// The Hash option, in mebibytes: its default gives the other front end's
// default table of 2^20 entries of 12 bytes; its maximum, the largest table.
constexpr int HASH_DEFAULT_MIB = 12;
constexpr int HASH_MIN_MIB = 1;
constexpr int HASH_MAX_MIB = 12288;

// For harnesses that must run every input the same way (the fuzzer): with
// this set, the clock and movetime of `go` are read and checked, but only
// node_limit and the depth end a search.
extern bool uci_ignore_clock;

// The engine at program start: keys, the start position, killers and history
// cleared, a table of HASH_DEFAULT_MIB, the search reporting in `info` lines.
void start_uci_engine();
// Reads and carries out lines from the input queue (protocol/uci/input.h)
// until `quit` or the end of the input; the table is released then.
void run_uci_loop();
