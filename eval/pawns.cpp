#include "eval/pawns.h"

#include "board/position.h"

// clang-format off
const int mirror_square[64] = {
    56, 57, 58, 59, 60, 61, 62, 63,
    48, 49, 50, 51, 52, 53, 54, 55,
    40, 41, 42, 43, 44, 45, 46, 47,
    32, 33, 34, 35, 36, 37, 38, 39,
    24, 25, 26, 27, 28, 29, 30, 31,
    16, 17, 18, 19, 20, 21, 22, 23,
     8,  9, 10, 11, 12, 13, 14, 15,
     0,  1,  2,  3,  4,  5,  6,  7,
};

// The centre pawns are pushed out of the way of the bishops early.
const int pawn_pst[64] = {
     0,  0,  0,   0,   0,  0,  0,  0,
     5, 10, 15,  20,  20, 15, 10,  5,
     4,  8, 12,  16,  16, 12,  8,  4,
     3,  6,  9,  12,  12,  9,  6,  3,
     2,  4,  6,   8,   8,  8,  4,  2,
     1,  2,  3, -10, -10,  3,  2,  1,
     0,  0,  0, -40, -60,  0,  0,  0,
     0,  0,  0,   0,   0,  0,  0,  0,
};
// clang-format on

int file_pawn_count[2][10];
int rear_pawn_row[2][10];

void build_pawn_file_tables() {
    for (int i = 0; i < 10; ++i) {
        file_pawn_count[WHITE][i] = 0;
        file_pawn_count[BLACK][i] = 0;
        rear_pawn_row[WHITE][i] = WHITE_NO_PAWN_ROW;
        rear_pawn_row[BLACK][i] = BLACK_NO_PAWN_ROW;
    }
    if (pawn_material[WHITE] == 0 && pawn_material[BLACK] == 0) return;
    for (Side side = WHITE; side <= BLACK; ++side) {
        for (const Square s : pawn_squares[side]) {
            if (s == NO_SQUARE) continue;
            const int i = file_of(s) + 1;
            const int r = row_of(s);
            ++file_pawn_count[side][i];
            // white's rearmost pawn has the largest row, black's the smallest
            if (side == WHITE ? rear_pawn_row[side][i] < r : rear_pawn_row[side][i] > r)
                rear_pawn_row[side][i] = r;
        }
    }
}

int score_white_pawn(Square s) {
    const int i = file_of(s) + 1;
    const int r = row_of(s);
    int score = pawn_pst[s];
    // another white pawn behind this one on its file
    if (rear_pawn_row[WHITE][i] > r) score -= DOUBLED_PAWN_PENALTY;
    if (file_pawn_count[WHITE][i - 1] == 0 && file_pawn_count[WHITE][i + 1] == 0)
        score -= ISOLATED_PAWN_PENALTY;
    else if (rear_pawn_row[WHITE][i - 1] < r && rear_pawn_row[WHITE][i + 1] < r)
        score -= BACKWARD_PAWN_PENALTY;
    // no black pawn in front of it on its own or a neighbouring file
    if (rear_pawn_row[BLACK][i - 1] >= r && rear_pawn_row[BLACK][i] >= r &&
        rear_pawn_row[BLACK][i + 1] >= r)
        score += PASSED_PAWN_BONUS_PER_RANK * (7 - r);
    return score;
}

int score_black_pawn(Square s) {
    const int i = file_of(s) + 1;
    const int r = row_of(s);
    int score = pawn_pst[mirror_square[s]];
    // another black pawn behind this one on its file
    if (rear_pawn_row[BLACK][i] < r) score -= DOUBLED_PAWN_PENALTY;
    if (file_pawn_count[BLACK][i - 1] == 0 && file_pawn_count[BLACK][i + 1] == 0)
        score -= ISOLATED_PAWN_PENALTY;
    else if (rear_pawn_row[BLACK][i - 1] > r && rear_pawn_row[BLACK][i + 1] > r)
        score -= BACKWARD_PAWN_PENALTY;
    // no white pawn in front of it on its own or a neighbouring file
    if (rear_pawn_row[WHITE][i - 1] <= r && rear_pawn_row[WHITE][i] <= r &&
        rear_pawn_row[WHITE][i + 1] <= r)
        score += PASSED_PAWN_BONUS_PER_RANK * r;
    return score;
}
