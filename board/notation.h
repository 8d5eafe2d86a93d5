// Moves and squares as coordinate text: 'e2e4', 'e7e8q', 'e4'.
#pragma once

#include "board/types.h"

// Room for the longest move text, a promotion, and its terminating zero.
constexpr int MOVE_TEXT_SIZE = 6;

// Writes the move's text into `text`, zero-terminated: from and to squares,
// then the promotion letter when the move promotes.
void format_move(Move move, char (&text)[MOVE_TEXT_SIZE]);
// Writes the move's text to standard output, with no separator.
void print_move(Move move);
// The square named by a file letter a-h and a rank digit 1-8, NO_SQUARE otherwise.
Square parse_square(const char* text);
