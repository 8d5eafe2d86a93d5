#include "eval/king_safety.h"

#include "board/position.h"
#include "eval/pawns.h"

// clang-format off
const int king_midgame_pst[64] = {
    -8, -8, -8, -8, -8, -8, -8, -8,
    -8, -8, -8, -8, -8, -8, -8, -8,
    -8, -8, -8, -8, -8, -8, -8, -8,
    -8, -8, -8, -8, -8, -8, -8, -8,
    -8, -8, -8, -8, -8, -8, -8, -8,
    -8, -8, -8, -8, -8, -8, -8, -8,
    -4, -4, -4, -4, -4, -4, -4, -4,
     2, 16, 10, -4, -4, -4, 20,  8,
};
// clang-format on

namespace {

constexpr int FILE_C = 2;
constexpr int FILE_D = 3;
constexpr int FILE_E = 4;
constexpr int FILE_F = 5;

// Rank of a pawn on the row counted from its own side's first rank.
int relative_rank(Side side, int row) { return side == WHITE ? 8 - row : row + 1; }

}  // namespace

int king_shelter_penalty(Side side, int f) {
    const Side enemy = side ^ 1;
    int penalty = 0;
    if (f == FILE_D || f == FILE_E) {
        for (int i = f; i <= f + 2; ++i)
            if (file_pawn_count[side][i] == 0 && file_pawn_count[enemy][i] == 0)
                penalty += CENTRE_OPEN_FILE_PENALTY;
        return penalty;
    }
    // files a to c or f to h; c and f are the inner files
    const int first_file = f < FILE_D ? 0 : FILE_F;
    const int inner_file = f < FILE_D ? FILE_C : FILE_F;
    for (int file = first_file; file < first_file + 3; ++file) {
        const int i = file + 1;
        const int inner = file == inner_file;
        if (file_pawn_count[side][i] != 0) {
            const int rank = relative_rank(side, rear_pawn_row[side][i]);
            if (rank == 3)
                penalty += SHELTER_PENALTY_RANK_3[inner];
            else if (rank >= 4)
                penalty += SHELTER_PENALTY_ADVANCED[inner];
        } else if (file_pawn_count[enemy][i] == 0) {
            penalty += SHELTER_PENALTY_OPEN_FILE[inner];
        }
        if (file_pawn_count[enemy][i] != 0) {
            const int rank = relative_rank(enemy, rear_pawn_row[enemy][i]);
            if (rank == 4)
                penalty += STORM_PENALTY_RANK_4;
            else if (rank >= 5)
                penalty += STORM_PENALTY_ADVANCED;
        }
    }
    return penalty;
}

// whole steps only: the factor is rounded down before it scales the score
int scale_king_safety(Side side, int table_value, int shelter_penalty) {
    return (table_value - shelter_penalty) *
           (position.piece_material[side ^ 1] / KING_SAFETY_MATERIAL_STEP);
}

int white_king_safety(Square s) {
    return scale_king_safety(WHITE, king_midgame_pst[s], king_shelter_penalty(WHITE, file_of(s)));
}

int black_king_safety(Square s) {
    return scale_king_safety(BLACK, king_midgame_pst[(s ^ 56)],
                             king_shelter_penalty(BLACK, file_of(s)));
}
