// karvosel-uci's options: the table that the `uci` reply declares and
// `setoption` sets, and the values in force.
#pragma once

#include <string>

// The Hash option, in mebibytes: its default gives the other front end's
// default table of 2^20 entries of 12 bytes; its maximum, the largest table.
constexpr int HASH_DEFAULT_MIB = 12;
constexpr int HASH_MIN_MIB = 1;
constexpr int HASH_MAX_MIB = 12288;
constexpr int MOVE_OVERHEAD_DEFAULT_MS = 10;
constexpr int MOVE_OVERHEAD_MAX_MS = 5000;

struct UciOptions {
    int move_overhead_ms = MOVE_OVERHEAD_DEFAULT_MS;
    bool ponder = false;  // the host may ponder; the engine ponders only on `go ponder`
    int multipv = 1;
    bool limit_strength = false;
    int elo = 0;  // set from the option table's default
};
extern UciOptions uci_options;

// Harnesses that must stay within bounds (the fuzzer) refuse Hash values
// above this, as those above HASH_MAX_MIB.
extern long long uci_hash_ceiling_mib;

// Every option at its default, and a table of `hash_mib`.
void reset_options(long long hash_mib);
// The `option` lines of the reply to `uci`, one per option.
void send_option_lines();
// setoption name NAME [value VALUE], names compared without regard to case.
void command_setoption(const std::string& arguments);
