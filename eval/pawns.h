// Pawn structure: where each side's pawns stand, file by file, and the score of
// each pawn (table value, doubled, isolated, backward, passed).
#pragma once

#include <cstdint>

#include "board/types.h"

constexpr int DOUBLED_PAWN_PENALTY = 10;
constexpr int ISOLATED_PAWN_PENALTY = 20;
constexpr int BACKWARD_PAWN_PENALTY = 8;
// A passed pawn earns this much for each rank it has advanced from its start.
constexpr int PASSED_PAWN_BONUS_PER_RANK = 20;

// Rearmost-pawn row of a file a side has no pawn on: one row beyond the far
// end of the board in that side's direction of advance.
constexpr int WHITE_NO_PAWN_ROW = -1;
constexpr int BLACK_NO_PAWN_ROW = 8;

// Piece-square values of a pawn, from white's point of view.
extern const int pawn_pst[64];

// Small counts and rows, kept in bytes so that a cached structure is one cache line.
// Indexed by [side][file + 1]; indices 0 and 9 are empty files beyond the
// edges, so an a- or h-file pawn needs no bounds test for its neighbours.
extern std::int8_t file_pawn_count[2][10];
// Row of the side's rearmost pawn on the file: the largest row for white, the
// smallest for black; WHITE_NO_PAWN_ROW / BLACK_NO_PAWN_ROW on a file without one.
extern std::int8_t rear_pawn_row[2][10];

// Rewrites both file tables from the pawn lists.
void build_pawn_file_tables();

// What the pawns give each side, indexed by side: the summed pawn scores, and
// the shelter penalty of the side's king on the file it stands on.
struct PawnScores {
    int score[2];
    int king_shelter_penalty[2];
};
// What build_pawn_file_tables, score_white_pawn / score_black_pawn over every
// pawn and king_shelter_penalty give, kept in a small table keyed by the exact
// pawn sets, so that a structure met again is not worked out again. The file
// tables are those of the current pawns only after a structure is worked out.
PawnScores load_pawn_structure();
// Score of the white (black) pawn on the square; the file tables must be current.
int score_white_pawn(Square s);
int score_black_pawn(Square s);
