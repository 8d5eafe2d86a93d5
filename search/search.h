// The full-width alpha-beta search.
#pragma once

// Negamax alpha-beta to `depth` plies, fail-hard, from the side to move.
int search(int alpha, int beta, int depth);
// How many earlier game positions, back to the last capture or pawn move,
// share the current position's key.
int repetition_count();
