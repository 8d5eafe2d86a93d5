#include "board/position.h"

#include <bit>

#include "board/attack.h"
#include "board/keys.h"

Position position;

int ply;
UndoRecord undo_stack[MAX_PLY + 1];
int game_ply;
UndoRecord game_history[GAME_HISTORY_SIZE];
ScoredMove move_stack[MOVE_STACK_SIZE];
int ply_move_start[MAX_PLY + 1];
int ply_move_end[MAX_PLY + 1];
OrderingTables ordering;

const int piece_value[6] = {100, 300, 325, 500, 900, 0};

// The board inside a 10 x 12 frame: a step that leaves the board lands on -1.
const int frame_to_square[120] = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1,  0,  1,  2,  3,  4,  5,  6,  7, -1,
    -1,  8,  9, 10, 11, 12, 13, 14, 15, -1,
    -1, 16, 17, 18, 19, 20, 21, 22, 23, -1,
    -1, 24, 25, 26, 27, 28, 29, 30, 31, -1,
    -1, 32, 33, 34, 35, 36, 37, 38, 39, -1,
    -1, 40, 41, 42, 43, 44, 45, 46, 47, -1,
    -1, 48, 49, 50, 51, 52, 53, 54, 55, -1,
    -1, 56, 57, 58, 59, 60, 61, 62, 63, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
};

const int square_to_frame[64] = {
    21, 22, 23, 24, 25, 26, 27, 28,
    31, 32, 33, 34, 35, 36, 37, 38,
    41, 42, 43, 44, 45, 46, 47, 48,
    51, 52, 53, 54, 55, 56, 57, 58,
    61, 62, 63, 64, 65, 66, 67, 68,
    71, 72, 73, 74, 75, 76, 77, 78,
    81, 82, 83, 84, 85, 86, 87, 88,
    91, 92, 93, 94, 95, 96, 97, 98,
};

const int piece_slides[6] = {0, 0, 1, 1, 1, 0};
const int direction_count[6] = {0, 8, 4, 4, 8, 8};
const int piece_directions[6][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},
    {-21, -19, -12, -8, 8, 12, 19, 21},
    {-11, -9, 9, 11, 0, 0, 0, 0},
    {-10, -1, 1, 10, 0, 0, 0, 0},
    {-11, -10, -9, -1, 1, 9, 10, 11},
    {-11, -10, -9, -1, 1, 9, 10, 11},
};

// A move from or to a king's or rook's home square ends the matching rights.
const int castle_keep_mask[64] = {
     7, 15, 15, 15,  3, 15, 15, 11,
    15, 15, 15, 15, 15, 15, 15, 15,
    15, 15, 15, 15, 15, 15, 15, 15,
    15, 15, 15, 15, 15, 15, 15, 15,
    15, 15, 15, 15, 15, 15, 15, 15,
    15, 15, 15, 15, 15, 15, 15, 15,
    15, 15, 15, 15, 15, 15, 15, 15,
    13, 15, 15, 15, 12, 15, 15, 14,
};

const int start_color[64] = {
    1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1,
    6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
};

const int start_piece[64] = {
    3, 1, 2, 4, 5, 2, 1, 3,
    0, 0, 0, 0, 0, 0, 0, 0,
    6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6,
    0, 0, 0, 0, 0, 0, 0, 0,
    3, 1, 2, 4, 5, 2, 1, 3,
};

const char piece_letters[7] = "PNBRQK";

PieceType piece_of_letter(char letter) {
    for (PieceType piece = PAWN; piece <= KING; ++piece)
        if (piece_letters[piece] == letter) return piece;
    return EMPTY;
}

void new_game() {
    for (Square s = 0; s < 64; ++s) {
        position.board_color[s] = start_color[s];
        position.board_piece[s] = start_piece[s];
    }
    rebuild_piece_bookkeeping();
    position.ep_square = NO_SQUARE;
    position.side_to_move = WHITE;
    position.opponent_side = BLACK;
    position.halfmove_clock = 0;
    ply = 0;
    ply_move_start[0] = 0;
    game_ply = 0;
    position.castle_rights = 15;
    compute_position_key();
}

bool rebuild_piece_bookkeeping() {
    int pawn_count[2] = {0, 0};
    int king_count[2] = {0, 0};
    bool representable = true;
    for (Side side = WHITE; side <= BLACK; ++side) {
        for (int i = 0; i < 8; ++i) position.pawn_squares[side][i] = NO_SQUARE;
        position.piece_material[side] = 0;
        position.side_squares[side] = 0;
        position.pawn_sets[side] = 0;
    }
    for (Bitboard& set : position.piece_sets) set = 0;
    for (Square s = 0; s < 64; ++s) {
        const Side side = position.board_color[s];
        if (side == EMPTY) continue;
        position.side_squares[side] |= square_bit(s);
        const PieceType piece = position.board_piece[s];
        position.piece_sets[piece] |= square_bit(s);
        if (piece == PAWN) {
            if (row_of(s) == 0 || row_of(s) == 7) representable = false;
            if (pawn_count[side] < 8) {
                position.pawn_squares[side][pawn_count[side]] = s;
                position.pawn_sets[side] |= square_bit(s);
            } else
                representable = false;
            ++pawn_count[side];
        } else {
            position.piece_material[side] += piece_value[piece];
            if (piece == KING) {
                position.king_square[side] = s;
                ++king_count[side];
            }
        }
    }
    for (Side side = WHITE; side <= BLACK; ++side) {
        position.pawn_material[side] = piece_value[PAWN] * pawn_count[side];
        position.total_material[side] =
            position.pawn_material[side] + position.piece_material[side];
        if (king_count[side] != 1) representable = false;
    }
    position.check_state = CHECK_UNKNOWN;
    return representable;
}

bool position_is_consistent() {
    int pawns[2] = {0, 0};
    int pieces[2] = {0, 0};
    int kings[2] = {0, 0};
    for (Square s = 0; s < 64; ++s) {
        if ((position.board_color[s] == EMPTY) != (position.board_piece[s] == EMPTY)) return false;
        for (Side side = WHITE; side <= BLACK; ++side)
            if (((position.side_squares[side] & square_bit(s)) != 0) !=
                (position.board_color[s] == side))
                return false;
        for (PieceType piece = PAWN; piece <= KING; ++piece)
            if (((position.piece_sets[piece] & square_bit(s)) != 0) !=
                (position.board_piece[s] == piece))
                return false;
        if (position.board_color[s] == EMPTY) continue;
        if (position.board_color[s] != WHITE && position.board_color[s] != BLACK) return false;
        if (position.board_piece[s] < PAWN || position.board_piece[s] > KING) return false;
        const Side side = position.board_color[s];
        if (position.board_piece[s] == PAWN) {
            ++pawns[side];
            int found = 0;
            for (int i = 0; i < 8; ++i) found += position.pawn_squares[side][i] == s;
            if (found != 1 || (position.pawn_sets[side] & square_bit(s)) == 0) return false;
        } else {
            pieces[side] += piece_value[position.board_piece[s]];
        }
        if (position.board_piece[s] == KING) {
            ++kings[side];
            if (position.king_square[side] != s) return false;
        }
    }
    for (Side side = WHITE; side <= BLACK; ++side) {
        int listed = 0;
        for (int i = 0; i < 8; ++i) listed += position.pawn_squares[side][i] != NO_SQUARE;
        if (listed != pawns[side] || kings[side] != 1) return false;
        if (std::popcount(position.pawn_sets[side]) != pawns[side]) return false;
        if (position.pawn_material[side] != 100 * pawns[side] ||
            position.piece_material[side] != pieces[side] ||
            position.total_material[side] !=
                position.pawn_material[side] + position.piece_material[side])
            return false;
    }
    if (position.check_state != CHECK_UNKNOWN &&
        position.check_state != in_check(position.side_to_move))
        return false;
    return position.opponent_side == (position.side_to_move ^ 1);
}
