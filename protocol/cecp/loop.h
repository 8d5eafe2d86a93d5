// The program's one loop: the engine moves when it is its turn, otherwise one
// command line is read and carried out.
#pragma once

#include "board/types.h"

constexpr int COMMAND_LINE_SIZE = 256;

// The side the engine plays: WHITE, BLACK or NO_SIDE (force mode).
extern Side engine_side;
// The line last read (at most 255 characters) and its first word.
extern char command_line[COMMAND_LINE_SIZE];
extern char command_word[COMMAND_LINE_SIZE];

// Where command lines come from: fills `buffer` with at most size - 1
// characters up to and including a line break, as fgets does; false at end of input.
using LineReader = bool (*)(char* buffer, int size);
void set_line_reader(LineReader reader);
// Reads one line into `buffer` from the current reader; false at end of input.
bool read_input_line(char* buffer, int size);
// Copies the first word of `line` into `word`; false when the line has none.
bool first_word(const char* line, char* word);

// Allocates the transposition table afresh and prints its report, or the
// failure message when there is no size or no memory.
void allocate_table();

// Start-up after the table has been sized and standard output made
// unbuffered: banner, new game, keys, table, the list of ply 0, the clock
// settings; the engine plays black. Puts every piece of state the loop uses
// to its value at program start.
void start_engine();
// Runs the loop until `quit` or the end of input; the table is released then.
void run_loop();
