#include "eval/eval.h"

#include "board/position.h"
#include "eval/king_safety.h"
#include "eval/pawns.h"

// clang-format off
const int knight_pst[64] = {
    -10, -10, -10, -10, -10, -10, -10, -10,
    -10,   0,   0,   0,   0,   0,   0, -10,
    -10,   0,   5,   5,   5,   5,   0, -10,
    -10,   0,   5,  10,  10,   5,   0, -10,
    -10,   0,   5,  10,  10,   5,   0, -10,
    -10,   0,   5,   5,   5,   5,   0, -10,
    -10,   0,   0,   0,   0,   0,   0, -10,
    -10, -30, -10, -10, -10, -10, -30, -10,
};

const int bishop_pst[64] = {
    -10, -10, -10, -10, -10, -10, -10, -10,
    -10,   0,   0,   0,   0,   0,   0, -10,
    -10,   0,   5,   5,   5,   5,   0, -10,
    -10,   0,   5,  10,  10,   5,   0, -10,
    -10,   0,   5,  10,  10,   5,   0, -10,
    -10,   0,   5,  -5,  -5,   5,   0, -10,
    -10,  10,   0,   0,   0,   0,  10, -10,
    -10, -10, -20, -10, -10, -20, -10, -10,
};

const int king_endgame_pst[64] = {
     0, 10, 20, 30, 30, 20, 10,  0,
    10, 20, 30, 40, 40, 30, 20, 10,
    20, 30, 40, 50, 50, 40, 30, 20,
    30, 40, 50, 60, 60, 50, 40, 30,
    30, 40, 50, 60, 60, 50, 40, 30,
    20, 30, 40, 50, 50, 40, 30, 20,
    10, 20, 30, 40, 40, 30, 20, 10,
     0, 10, 20, 30, 30, 20, 10,  0,
};
// clang-format on

namespace {

// The rook of `side` on square s; `own_view` is s seen from its own side.
int rook_bonus(Side side, Square s, Square own_view) {
    const Side enemy = side ^ 1;
    const int i = file_of(s) + 1;
    int bonus = 0;
    // without pawns of its own a side gains nothing from open files
    if (position.pawn_material[side] != 0 && file_pawn_count[side][i] == 0) {
        bonus += ROOK_HALF_OPEN_FILE_BONUS;
        if (position.pawn_material[enemy] != 0 && file_pawn_count[enemy][i] == 0)
            bonus += ROOK_OPEN_FILE_BONUS;
    }
    if (row_of(own_view) == 1) bonus += ROOK_SEVENTH_RANK_BONUS;
    return bonus;
}

// Each king is judged by its own opponent's piece material.
int king_term(Side side, Square s, Square own_view) {
    if (position.piece_material[side ^ 1] > KING_SAFETY_PIECE_MATERIAL)
        return side == WHITE ? white_king_safety(s) : black_king_safety(s);
    return king_endgame_pst[own_view];
}

// The table and file terms of the piece of `side` on s, a pawn excepted.
int piece_term(Side side, Square s) {
    const Square own_view = side == WHITE ? s : (s ^ 56);
    switch (position.board_piece[s]) {
        case KNIGHT:
            return knight_pst[own_view];
        case BISHOP:
            return bishop_pst[own_view];
        case ROOK:
            return rook_bonus(side, s, own_view);
        case KING:
            return king_term(side, s, own_view);
        default:  // a queen counts its material only
            return 0;
    }
}

}  // namespace

int evaluate_by_scan(int alpha, int beta) {
    const int d = position.total_material[position.side_to_move] -
                  position.total_material[position.opponent_side];
    // d + margin < alpha rather than d < alpha - margin: a window at the limits of int stays safe
    if (d + LAZY_MARGIN < alpha || d - LAZY_MARGIN > beta) return d;

    int score[2] = {position.total_material[WHITE], position.total_material[BLACK]};
    build_pawn_file_tables();
    for (Square s = 0; s < 64; ++s) {
        const Side side = position.board_color[s];
        if (side == EMPTY) continue;
        if (position.board_piece[s] == PAWN)
            score[side] += side == WHITE ? score_white_pawn(s) : score_black_pawn(s);
        else
            score[side] += piece_term(side, s);
    }
    return score[position.side_to_move] - score[position.opponent_side];
}

namespace {

// rook_bonus with the pawns of the file read from the pawn sets.
int rook_bonus_from_sets(Side side, Square s, Square own_view) {
    const Side enemy = side ^ 1;
    const Bitboard file = FILE_A_SQUARES << file_of(s);
    int bonus = 0;
    if (position.pawn_material[side] != 0 && (position.pawn_sets[side] & file) == 0) {
        bonus += ROOK_HALF_OPEN_FILE_BONUS;
        if (position.pawn_material[enemy] != 0 && (position.pawn_sets[enemy] & file) == 0)
            bonus += ROOK_OPEN_FILE_BONUS;
    }
    if (row_of(own_view) == 1) bonus += ROOK_SEVENTH_RANK_BONUS;
    return bonus;
}

// The pieces of `side` but its pawns, with the king's shelter from the pawn table.
int pieces_score(Side side, int king_shelter_penalty) {
    // Black reads white's tables on the square with its rank mirrored, s ^ 56.
    const int flip = side == WHITE ? 0 : 56;
    const Square k = position.king_square[side] ^ flip;
    int score = position.piece_material[side ^ 1] > KING_SAFETY_PIECE_MATERIAL
                    ? scale_king_safety(side, king_midgame_pst[k], king_shelter_penalty)
                    : king_endgame_pst[k];
    // a queen counts its material only
    const Bitboard own = position.side_squares[side];
    for (Bitboard b = own & position.piece_sets[KNIGHT]; b; b &= b - 1)
        score += knight_pst[lowest_square(b) ^ flip];
    for (Bitboard b = own & position.piece_sets[BISHOP]; b; b &= b - 1)
        score += bishop_pst[lowest_square(b) ^ flip];
    for (Bitboard b = own & position.piece_sets[ROOK]; b; b &= b - 1) {
        const Square s = lowest_square(b);
        score += rook_bonus_from_sets(side, s, s ^ flip);
    }
    return score;
}

}  // namespace

int evaluate(int alpha, int beta) {
    const int d = position.total_material[position.side_to_move] -
                  position.total_material[position.opponent_side];
    if (d + LAZY_MARGIN < alpha || d - LAZY_MARGIN > beta) return d;

    const PawnScores pawns = load_pawn_structure();
    const int score[2] = {position.total_material[WHITE] + pawns.score[WHITE] +
                              pieces_score(WHITE, pawns.king_shelter_penalty[WHITE]),
                          position.total_material[BLACK] + pawns.score[BLACK] +
                              pieces_score(BLACK, pawns.king_shelter_penalty[BLACK])};
    return score[position.side_to_move] - score[position.opponent_side];
}
