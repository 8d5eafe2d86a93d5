// Setting up a position from Forsyth-Edwards Notation, for the tools, the
// tests and the front ends that take positions from outside.
#pragma once

// Whether a set-up can be played on, and if not, why.
enum class SetupResult {
    PLAYABLE,
    MALFORMED,                  // the text is no well-formed FEN
    UNREPRESENTABLE,            // see setup_fault
    SIDE_NOT_TO_MOVE_IN_CHECK,  // see setup_fault
};

// Whether the engine can play on the board tables as they stand, with the
// side to move as set: UNREPRESENTABLE when a side has not exactly one king,
// has more than eight pawns or a pawn on its first or last rank, and
// SIDE_NOT_TO_MOVE_IN_CHECK when the side to move could take the other king.
// Rebuilds king squares, pawn lists and material sums from the board tables.
SetupResult setup_fault();

// Reads a FEN: placement, side, castling, en-passant square, and optionally
// the half-move clock and the move number. A well-formed position that the
// engine can play on replaces the current one (game record emptied, every
// invariant and the key established); with `playable_only` false, so does
// one whose side not to move is in check. Anything else leaves the position
// and the game record exactly as they were. Castling rights whose king or
// rook is not on its home square are dropped, and so is an en-passant square
// that no pawn has just passed.
SetupResult read_fen(const char* fen, bool playable_only = true);
// For the tools and the tests, which also set up positions whose side not to
// move is in check: read_fen(fen, false) == SetupResult::PLAYABLE.
bool load_fen(const char* fen);
