#include "board/attack.h"

#include "board/position.h"

// Scans the attacker's pieces over the whole board rather than looking
// outward from the target: there are no attack tables.
bool square_attacked(Square square, Side by_side) {
    for (Square i = 0; i < 64; ++i) {
        if (board_color[i] != by_side) continue;
        const PieceType piece = board_piece[i];
        if (piece == PAWN) {
            // Pure geometry: the target's contents are not looked at.
            if (by_side == WHITE) {
                if (file_of(i) != 0 && i - 9 == square) return true;
                if (file_of(i) != 7 && i - 7 == square) return true;
            } else {
                if (file_of(i) != 0 && i + 7 == square) return true;
                if (file_of(i) != 7 && i + 9 == square) return true;
            }
            continue;
        }
        for (int d = 0; d < direction_count[piece]; ++d) {
            const int step = piece_directions[piece][d];
            for (Square n = frame_to_square[square_to_frame[i] + step]; n != -1;
                 n = frame_to_square[square_to_frame[n] + step]) {
                if (n == square) return true;
                if (board_color[n] != EMPTY || !piece_slides[piece]) break;
            }
        }
    }
    return false;
}

bool in_check(Side side) { return square_attacked(king_square[side], side ^ 1); }
