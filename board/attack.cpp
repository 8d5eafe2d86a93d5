#include "board/attack.h"

#include "board/bitboard.h"
#include "board/position.h"

namespace {

// Whether any square of `candidates` holds a piece of that kind.
bool holds_kind(Bitboard candidates, PieceType kind) {
    for (; candidates; candidates &= candidates - 1)
        if (board_piece[lowest_square(candidates)] == kind) return true;
    return false;
}

// The first piece met from `square` along direction d belongs to `by_side`
// and slides that way.
bool slider_on_line(int d, Square square, Side by_side, Bitboard occupied) {
    const Square n = first_on_line(d, square, occupied);
    if (n == NO_SQUARE || board_color[n] != by_side) return false;
    const PieceType piece = board_piece[n];
    return piece == QUEEN || piece == (line_is_diagonal(d) ? BISHOP : ROOK);
}

}  // namespace

// Looks outward from the target along every line a piece could attack it by;
// the answer is the same as walking every piece of `by_side` toward it. The
// target's own occupant never blocks, so a square held by `by_side` itself
// counts as attacked when another of its pieces covers it.
bool square_attacked(Square square, Side by_side) {
    const Bitboard theirs = side_squares[by_side];
    if (holds_kind(pawn_attackers[by_side][square] & theirs, PAWN)) return true;
    if (holds_kind(knight_steps[square] & theirs, KNIGHT)) return true;
    if (holds_kind(king_steps[square] & theirs, KING)) return true;
    const Bitboard occupied = side_squares[WHITE] | side_squares[BLACK];
    for (int d = 0; d < LINE_DIRECTIONS; ++d) {
        if ((line_squares[d][square] & theirs) != 0 && slider_on_line(d, square, by_side, occupied))
            return true;
    }
    return false;
}

bool in_check(Side side) { return square_attacked(king_square[side], side ^ 1); }

bool side_to_move_in_check() {
    if (check_state == CHECK_UNKNOWN) check_state = in_check(side_to_move);
    return check_state != 0;
}

bool line_attack_through(Square square, Square through, Side by_side) {
    const int d = line_direction[square][through];
    return d >= 0 && slider_on_line(d, square, by_side, side_squares[WHITE] | side_squares[BLACK]);
}
