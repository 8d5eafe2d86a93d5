// Moves as coordinate text: 'e2e4', 'e7e8q'.
#pragma once

#include "board/types.h"

// Writes the move's text to standard output, with no separator.
void print_move(Move move);
// The square named by a file letter a-h and a rank digit 1-8, NO_SQUARE otherwise.
Square parse_square(const char* text);
// Plays the move named by the first characters of `command_line` if it is in
// the list of ply 0 and legal; otherwise prints the refusal line. Returns
// whether the move was played.
bool match_typed_move();
