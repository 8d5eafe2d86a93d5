// Pseudo-legal move generation with ordering scores into the shared move stack.
#pragma once

#include "board/types.h"

// Score of a promotion: 1000000 + 8 * promoted piece.
constexpr int CAPTURE_SCORE_BASE = 1000000;
constexpr int KILLER_SCORE = 900000;

// All pseudo-legal moves of the side to move, as the list of the current ply.
void generate_moves();
// Captures, pawn steps to the last rank and en-passant captures only.
void generate_captures();
void push_move(Square from, Square to, int flags);
void push_promotions(Square from, Square to, int flags);
