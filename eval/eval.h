// The static evaluation: material, piece-square tables, pawn structure, rook
// files and the seventh rank, and king safety or king centralisation.
#pragma once

// Material alone answers when the balance lies this far outside the window.
constexpr int LAZY_MARGIN = 200;
// A king is scored for safety while the enemy has more piece material than
// this, and by its endgame table once the enemy has this much or less.
constexpr int KING_SAFETY_PIECE_MATERIAL = 1200;
// A rook on a file free of own pawns, and further when free of enemy pawns too.
constexpr int ROOK_HALF_OPEN_FILE_BONUS = 10;
constexpr int ROOK_OPEN_FILE_BONUS = 5;
// A rook on the enemy's second rank.
constexpr int ROOK_SEVENTH_RANK_BONUS = 20;

// Piece-square values from white's point of view; black reads the mirrored square.
extern const int knight_pst[64];
extern const int bishop_pst[64];
extern const int king_endgame_pst[64];

// Static score of the current position, in centipawns for the side to move.
// alpha and beta are the caller's window and serve only the lazy exit, whose
// result is the material balance, unclipped.
int evaluate(int alpha, int beta);
// The same score by scanning the board and working out the pawn structure
// afresh: the plain version evaluate is tested against.
int evaluate_by_scan(int alpha, int beta);
