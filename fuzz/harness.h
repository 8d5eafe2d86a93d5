// What every fuzz target shares: the input bytes as the program's standard
// input, a clock that the harness drives, the engine put back to its state at
// program start before each input, and the checks of a sound position.
//
// The clock: the engine reads the harness's own (set_clock_reader), which
// moves on by a fixed step at each reading and starts each input at the same
// time. Searches are cut by a node
// limit and a depth ceiling, not by wall time, so an input takes the same path
// and prints the same bytes on every run.
#pragma once

#include <cstddef>
#include <cstdint>

// Once per process: standard output to /dev/null, or to the file named by the
// environment variable KARVOSEL_FUZZ_TRANSCRIPT (the replay script compares
// two runs of one input that way); the line reader, the search's limits, and
// a check that the harness clock is the one the engine reads.
void harness_initialize();

// Makes `data` the standard input, from its first byte.
void harness_set_input(const std::uint8_t* data, std::size_t size);
// The line reader over that input, as fgets: at most size - 1 bytes, up to
// and including a line break; false at its end. The engine reads through it
// unless a target sets a reader of its own.
bool harness_read_line(char* buffer, int size);

// The engine as at program start with a small table: the clock at its start,
// then start_engine, which clears the search's results and work areas.
void harness_start_engine();

// Clock readings the current input has used; the loop target cuts an input
// short past its allowance, as if its bytes had ended.
long harness_clock_readings();

[[noreturn]] void harness_fail(const char* what);

// Checks that the position's bookkeeping (board tables, king squares, pawn
// lists, material sums) agrees with its board and that its key is the key of
// the position; fails with `where` in the message otherwise.
void harness_check_position(const char* where);

// Makes and takes back every move of the list of ply 0, checking that each
// position reached and the position restored are sound.
void harness_check_moves_of_ply0(const char* where);
