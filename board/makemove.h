// Making a move with the legality test, and taking it back.
#pragma once

#include <cstdint>

#include "board/types.h"

// Plays a move generated for the current position. Returns false, with the
// position and `ply` exactly as before, when castling is not allowed or the
// mover's king would be left attacked.
bool make_move(Move move);
// make_move with the attack scan run after every move: the reference for its
// shortcut, which scans only when the king could have been exposed.
bool make_move_full_test(Move move);
// The key of the position a generated move would lead to, without making it
// (a castling move is keyed as if allowed).
std::uint32_t key_after(Move move);
// Takes back the move recorded in undo_stack[ply - 1]; ply must be at least 1.
void take_back();
// The legal moves among the current ply's list, each made and taken back;
// the first of them goes to `first_legal` (0 when there is none) if given.
int count_legal_moves(Move* first_legal = nullptr);
