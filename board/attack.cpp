#include "board/attack.h"

#include "board/position.h"

namespace {

constexpr int KNIGHT_STEPS[8] = {-21, -19, -12, -8, 8, 12, 19, 21};
constexpr int KING_STEPS[8] = {-11, -10, -9, -1, 1, 9, 10, 11};
constexpr int DIAGONAL_STEPS[4] = {-11, -9, 9, 11};
constexpr int STRAIGHT_STEPS[4] = {-10, -1, 1, 10};

bool holds(int frame_cell, Side side, PieceType piece) {
    const Square s = frame_to_square[frame_cell];
    return s != -1 && board_color[s] == side && board_piece[s] == piece;
}

// The first piece met from `origin` along `step`, if it belongs to `side` and
// is one of the two kinds that slide that way.
bool slider_along(int origin, int step, Side side, PieceType kind, PieceType queen) {
    for (Square n = frame_to_square[origin + step]; n != -1;
         n = frame_to_square[square_to_frame[n] + step]) {
        if (board_color[n] == EMPTY) continue;
        return board_color[n] == side && (board_piece[n] == kind || board_piece[n] == queen);
    }
    return false;
}

}  // namespace

// Looks outward from the target along every line a piece could attack it by;
// the answer is the same as walking every piece of `by_side` toward it. The
// target's own occupant never blocks, so a square held by `by_side` itself
// counts as attacked when another of its pieces covers it.
bool square_attacked(Square square, Side by_side) {
    const int origin = square_to_frame[square];
    // A white pawn attacks the two squares diagonally toward rank 8, so it
    // stands diagonally toward rank 1 from what it attacks.
    const int pawn_side = by_side == WHITE ? 1 : -1;
    if (holds(origin + pawn_side * 9, by_side, PAWN) || holds(origin + pawn_side * 11, by_side, PAWN))
        return true;
    for (int step : KNIGHT_STEPS)
        if (holds(origin + step, by_side, KNIGHT)) return true;
    for (int step : KING_STEPS)
        if (holds(origin + step, by_side, KING)) return true;
    for (int step : DIAGONAL_STEPS)
        if (slider_along(origin, step, by_side, BISHOP, QUEEN)) return true;
    for (int step : STRAIGHT_STEPS)
        if (slider_along(origin, step, by_side, ROOK, QUEEN)) return true;
    return false;
}

bool in_check(Side side) { return square_attacked(king_square[side], side ^ 1); }
