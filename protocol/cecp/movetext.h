// Typed moves: the opponent's move text matched against the legal moves.
#pragma once

#include "board/types.h"

// Plays the move named by the first characters of `command_line` if it is in
// the list of ply 0 and legal; otherwise prints the refusal line. Returns
// whether the move was played.
bool match_typed_move();
