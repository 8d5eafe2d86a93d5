#include "board/movegen.h"

#include "board/position.h"

void push_promotions(Square from, Square to, int flags) {
    int& end = ply_move_end[ply];
    for (PieceType promotion = KNIGHT; promotion <= QUEEN; ++promotion) {
        move_stack[end].move = encode_move(from, to, promotion, flags | MOVE_PROMOTE);
        move_stack[end].score = CAPTURE_SCORE_BASE + 8 * promotion;
        ++end;
    }
}

void push_move(Square from, Square to, int flags) {
    if ((flags & MOVE_PAWN) && (side_to_move == WHITE ? to <= 7 : to >= 56)) {
        push_promotions(from, to, flags);
        return;
    }
    ScoredMove& entry = move_stack[ply_move_end[ply]++];
    entry.move = encode_move(from, to, 0, flags);
    // Castling is scored by its destination's occupant like any other move.
    if (board_color[to] != EMPTY)
        entry.score = CAPTURE_SCORE_BASE + 8 * board_piece[to] - board_piece[from];
    else if (entry.move == killer_move[ply])
        entry.score = KILLER_SCORE;
    else
        entry.score = history_score[from][to];
}

static void push_pawn_captures(Square i) {
    if (side_to_move == WHITE) {
        if (file_of(i) != 0 && board_color[i - 9] == BLACK) push_move(i, i - 9, MOVE_PAWN | MOVE_CAPTURE);
        if (file_of(i) != 7 && board_color[i - 7] == BLACK) push_move(i, i - 7, MOVE_PAWN | MOVE_CAPTURE);
    } else {
        if (file_of(i) != 0 && board_color[i + 7] == WHITE) push_move(i, i + 7, MOVE_PAWN | MOVE_CAPTURE);
        if (file_of(i) != 7 && board_color[i + 9] == WHITE) push_move(i, i + 9, MOVE_PAWN | MOVE_CAPTURE);
    }
}

static bool holds_pawn_of(Square s, Side side) {
    return board_color[s] == side && board_piece[s] == PAWN;
}

static void push_en_passant() {
    const Square e = ep_square;
    if (e == NO_SQUARE) return;
    const int flags = MOVE_PAWN | MOVE_EN_PASSANT | MOVE_CAPTURE;
    if (side_to_move == WHITE) {
        if (file_of(e) != 0 && holds_pawn_of(e + 7, WHITE)) push_move(e + 7, e, flags);
        if (file_of(e) != 7 && holds_pawn_of(e + 9, WHITE)) push_move(e + 9, e, flags);
    } else {
        if (file_of(e) != 0 && holds_pawn_of(e - 9, BLACK)) push_move(e - 9, e, flags);
        if (file_of(e) != 7 && holds_pawn_of(e - 7, BLACK)) push_move(e - 7, e, flags);
    }
}

// A pawn on its own last rank (only edit mode can put one there) has no
// square in front of it and is skipped.
static bool pawn_on_last_rank(Square i) {
    return side_to_move == WHITE ? i <= 7 : i >= 56;
}

// A piece's moves along each of its directions in table order, near to far:
// captures always, steps onto empty squares only when `quiet_too`.
template <bool quiet_too>
static void push_piece_moves(Square i, PieceType piece) {
    for (int d = 0; d < direction_count[piece]; ++d) {
        const int step = piece_directions[piece][d];
        for (Square n = frame_to_square[square_to_frame[i] + step]; n != -1;
             n = frame_to_square[square_to_frame[n] + step]) {
            if (board_color[n] != EMPTY) {
                if (board_color[n] == opponent_side) push_move(i, n, MOVE_CAPTURE);
                break;
            }
            if (quiet_too) push_move(i, n, 0);
            if (!piece_slides[piece]) break;
        }
    }
}

void generate_moves() {
    ply_move_end[ply] = ply_move_start[ply];
    const int forward = side_to_move == WHITE ? -8 : 8;
    for (Square i = 0; i < 64; ++i) {
        if (board_color[i] != side_to_move) continue;
        const PieceType piece = board_piece[i];
        if (piece == PAWN) {
            if (pawn_on_last_rank(i)) continue;
            push_pawn_captures(i);
            if (board_color[i + forward] == EMPTY) {
                push_move(i, i + forward, MOVE_PAWN);
                const bool on_start_rank = side_to_move == WHITE ? i >= 48 : i <= 15;
                if (on_start_rank && board_color[i + 2 * forward] == EMPTY)
                    push_move(i, i + 2 * forward, MOVE_PAWN | MOVE_PAWN_DOUBLE);
            }
            continue;
        }
        push_piece_moves<true>(i, piece);
    }
    // Castling from the rights alone; make_move tests the squares between.
    if (side_to_move == WHITE) {
        if (castle_rights & CASTLE_WHITE_KINGSIDE) push_move(60, 62, MOVE_CASTLE);
        if (castle_rights & CASTLE_WHITE_QUEENSIDE) push_move(60, 58, MOVE_CASTLE);
    } else {
        if (castle_rights & CASTLE_BLACK_KINGSIDE) push_move(4, 6, MOVE_CASTLE);
        if (castle_rights & CASTLE_BLACK_QUEENSIDE) push_move(4, 2, MOVE_CASTLE);
    }
    push_en_passant();
    ply_move_start[ply + 1] = ply_move_end[ply];
}

void generate_captures() {
    ply_move_end[ply] = ply_move_start[ply];
    const int forward = side_to_move == WHITE ? -8 : 8;
    for (Square i = 0; i < 64; ++i) {
        if (board_color[i] != side_to_move) continue;
        const PieceType piece = board_piece[i];
        if (piece == PAWN) {
            if (pawn_on_last_rank(i)) continue;
            push_pawn_captures(i);
            const bool on_seventh = side_to_move == WHITE ? i <= 15 : i >= 48;
            if (on_seventh && board_color[i + forward] == EMPTY) push_move(i, i + forward, MOVE_PAWN);
            continue;
        }
        push_piece_moves<false>(i, piece);
    }
    push_en_passant();
    ply_move_start[ply + 1] = ply_move_end[ply];
}
