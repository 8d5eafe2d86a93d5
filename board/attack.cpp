#include "board/attack.h"

#include "board/bitboard.h"
#include "board/position.h"

namespace {

// The squares of `by_side`'s pieces that slide along diagonals, or along ranks and files.
Bitboard diagonal_sliders(Side by_side) {
    return position.side_squares[by_side] &
           (position.piece_sets[BISHOP] | position.piece_sets[QUEEN]);
}
Bitboard straight_sliders(Side by_side) {
    return position.side_squares[by_side] &
           (position.piece_sets[ROOK] | position.piece_sets[QUEEN]);
}

// The first piece met from `square` along direction d is one of `sliders`.
bool slider_on_line(int d, Square square, Bitboard sliders, Bitboard occupied) {
    const Square n = first_on_line(d, square, occupied);
    return n != NO_SQUARE && (sliders & square_bit(n)) != 0;
}

// A slider of `sliders` attacks `square` along one of the four lines.
bool slider_attacks(const int (&lines)[4], Bitboard reach, Square square, Bitboard sliders,
                    Bitboard occupied) {
    if ((reach & sliders) == 0) return false;
    for (int d : lines)
        if ((line_squares[d][square] & sliders) != 0 && slider_on_line(d, square, sliders, occupied))
            return true;
    return false;
}

}  // namespace

// Looks outward from the target along every line a piece could attack it by;
// the answer is the same as walking every piece of `by_side` toward it. The
// target's own occupant never blocks, so a square held by `by_side` itself
// counts as attacked when another of its pieces covers it.
bool square_attacked(Square square, Side by_side) {
    const Bitboard theirs = position.side_squares[by_side];
    if ((pawn_attackers[by_side][square] & theirs & position.piece_sets[PAWN]) != 0) return true;
    if ((knight_steps[square] & theirs & position.piece_sets[KNIGHT]) != 0) return true;
    if ((king_steps[square] & theirs & position.piece_sets[KING]) != 0) return true;
    const Bitboard occupied = position.side_squares[WHITE] | position.side_squares[BLACK];
    return slider_attacks(BISHOP_LINES, diagonal_reach[square], square, diagonal_sliders(by_side), occupied) ||
           slider_attacks(ROOK_LINES, straight_reach[square], square, straight_sliders(by_side), occupied);
}

bool in_check(Side side) { return square_attacked(position.king_square[side], side ^ 1); }

bool line_attack_through(Square square, Square through, Side by_side) {
    const int d = line_direction[square][through];
    if (d < 0) return false;
    const Bitboard sliders = line_is_diagonal(d) ? diagonal_sliders(by_side) : straight_sliders(by_side);
    return (line_squares[d][square] & sliders) != 0 &&
           slider_on_line(d, square, sliders,
                          position.side_squares[WHITE] | position.side_squares[BLACK]);
}
