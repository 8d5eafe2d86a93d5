// Announcing the end of a game: mates, stalemate, repetition and positions
// without mating material.
#pragma once

#include "board/types.h"

// The result line of a game that `side`, to move without a legal move, has
// lost by mate or drawn by stalemate.
void print_game_over(Side side);

// Run after the engine's move has been recorded and the opponent's list generated.
void check_after_engine_move();
// Run after every opponent line taken as a move attempt, played or refused.
void check_after_typed_move();
