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

// The same lists made by scanning every square and stepping through the
// board frame: the slow, obvious generator the fast one is tested against.
void generate_moves_by_scan();
void generate_captures_by_scan();
void push_move(Square from, Square to, int flags);
void push_promotions(Square from, Square to, int flags);
