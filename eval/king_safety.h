// King safety: the middle-game score of a king, from its square, its pawn
// shelter and the enemy pawns advancing on its wing, scaled by how much enemy
// piece material is left to attack it.
#pragma once

#include "board/types.h"

// Shelter penalties on a wing file, indexed [0] for an outer (edge-side) file
// and [1] for the inner file nearer the centre.
constexpr int SHELTER_PENALTY_RANK_3[2] = {2, 1};
constexpr int SHELTER_PENALTY_ADVANCED[2] = {4, 3};
constexpr int SHELTER_PENALTY_OPEN_FILE[2] = {8, 5};
// An enemy pawn on relative rank 4, and on rank 5 or beyond, on a wing file.
constexpr int STORM_PENALTY_RANK_4 = 1;
constexpr int STORM_PENALTY_ADVANCED = 2;
// A king on the d- or e-file, per file beside or under it free of all pawns.
constexpr int CENTRE_OPEN_FILE_PENALTY = 2;
// The score is multiplied by the enemy's piece material in whole steps of this.
constexpr int KING_SAFETY_MATERIAL_STEP = 600;

// Middle-game king square values, from white's point of view.
extern const int king_midgame_pst[64];

// Scaled safety score of the white (black) king on the square; the pawn file
// tables must be current.
int white_king_safety(Square s);
int black_king_safety(Square s);

// The files whose shelter is judged alike: a to c, d, e, and f to h.
constexpr int KING_FILE_GROUPS = 4;
constexpr int king_file_group(int file) { return file < 3 ? 0 : file > 4 ? 3 : file - 2; }
// A file of each group, a to c first.
constexpr int KING_GROUP_FILE[KING_FILE_GROUPS] = {0, 3, 4, 5};
// What the shelter, the enemy's pawn storm and the open files take from the
// king of `side` on `file`, before scaling; the pawn file tables must be current.
int king_shelter_penalty(Side side, int file);
// The king's table value less its shelter penalty, scaled by the enemy's
// piece material: the king safety score.
int scale_king_safety(Side side, int table_value, int shelter_penalty);
