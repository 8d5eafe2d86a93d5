#include "board/movegen.h"

#include "board/bitboard.h"
#include "board/position.h"

// ---- the square-scanning generator ----
//
// Walks the board square by square and every piece's steps through the
// frame: slow, plainly right, and the order every generator keeps.

void push_promotions(Square from, Square to, int flags) {
    int& end = ply_move_end[ply];
    for (PieceType promotion = KNIGHT; promotion <= QUEEN; ++promotion) {
        move_stack[end].move = encode_move(from, to, promotion, flags | MOVE_PROMOTE);
        move_stack[end].score = CAPTURE_SCORE_BASE + 8 * promotion;
        ++end;
    }
}

void push_move(Square from, Square to, int flags) {
    if ((flags & MOVE_PAWN) && (position.side_to_move == WHITE ? to <= 7 : to >= 56)) {
        push_promotions(from, to, flags);
        return;
    }
    ScoredMove& entry = move_stack[ply_move_end[ply]++];
    entry.move = encode_move(from, to, 0, flags);
    // Castling is scored by its destination's occupant like any other move.
    if (position.board_color[to] != EMPTY)
        entry.score =
            CAPTURE_SCORE_BASE + 8 * position.board_piece[to] - position.board_piece[from];
    else if (entry.move == ordering.killer_move[ply])
        entry.score = KILLER_SCORE;
    else
        entry.score = ordering.history_score[from][to];
}

static void push_pawn_captures(Square i) {
    if (position.side_to_move == WHITE) {
        if (file_of(i) != 0 && position.board_color[i - 9] == BLACK)
            push_move(i, i - 9, MOVE_PAWN | MOVE_CAPTURE);
        if (file_of(i) != 7 && position.board_color[i - 7] == BLACK)
            push_move(i, i - 7, MOVE_PAWN | MOVE_CAPTURE);
    } else {
        if (file_of(i) != 0 && position.board_color[i + 7] == WHITE)
            push_move(i, i + 7, MOVE_PAWN | MOVE_CAPTURE);
        if (file_of(i) != 7 && position.board_color[i + 9] == WHITE)
            push_move(i, i + 9, MOVE_PAWN | MOVE_CAPTURE);
    }
}

static bool holds_pawn_of(Square s, Side side) {
    return position.board_color[s] == side && position.board_piece[s] == PAWN;
}

static void push_en_passant() {
    const Square e = position.ep_square;
    if (e == NO_SQUARE) return;
    const int flags = MOVE_PAWN | MOVE_EN_PASSANT | MOVE_CAPTURE;
    if (position.side_to_move == WHITE) {
        if (file_of(e) != 0 && holds_pawn_of(e + 7, WHITE)) push_move(e + 7, e, flags);
        if (file_of(e) != 7 && holds_pawn_of(e + 9, WHITE)) push_move(e + 9, e, flags);
    } else {
        if (file_of(e) != 0 && holds_pawn_of(e - 9, BLACK)) push_move(e - 9, e, flags);
        if (file_of(e) != 7 && holds_pawn_of(e - 7, BLACK)) push_move(e - 7, e, flags);
    }
}

// Castling from the rights alone; make_move tests the squares between.
static void push_castling() {
    if (position.side_to_move == WHITE) {
        if (position.castle_rights & CASTLE_WHITE_KINGSIDE) push_move(60, 62, MOVE_CASTLE);
        if (position.castle_rights & CASTLE_WHITE_QUEENSIDE) push_move(60, 58, MOVE_CASTLE);
    } else {
        if (position.castle_rights & CASTLE_BLACK_KINGSIDE) push_move(4, 6, MOVE_CASTLE);
        if (position.castle_rights & CASTLE_BLACK_QUEENSIDE) push_move(4, 2, MOVE_CASTLE);
    }
}

// A pawn on its own last rank (only edit mode can put one there) has no
// square in front of it and is skipped.
static bool pawn_on_last_rank(Square i) {
    return position.side_to_move == WHITE ? i <= 7 : i >= 56;
}

// A piece's moves along each of its directions in table order, near to far:
// captures always, steps onto empty squares only when `quiet_too`.
template <bool quiet_too>
static void push_piece_moves(Square i, PieceType piece) {
    for (int d = 0; d < direction_count[piece]; ++d) {
        const int step = piece_directions[piece][d];
        for (Square n = frame_to_square[square_to_frame[i] + step]; n != -1;
             n = frame_to_square[square_to_frame[n] + step]) {
            if (position.board_color[n] != EMPTY) {
                if (position.board_color[n] == position.opponent_side)
                    push_move(i, n, MOVE_CAPTURE);
                break;
            }
            if (quiet_too) push_move(i, n, 0);
            if (!piece_slides[piece]) break;
        }
    }
}

void generate_moves_by_scan() {
    ply_move_end[ply] = ply_move_start[ply];
    const int forward = position.side_to_move == WHITE ? -8 : 8;
    for (Square i = 0; i < 64; ++i) {
        if (position.board_color[i] != position.side_to_move) continue;
        const PieceType piece = position.board_piece[i];
        if (piece == PAWN) {
            if (pawn_on_last_rank(i)) continue;
            push_pawn_captures(i);
            if (position.board_color[i + forward] == EMPTY) {
                push_move(i, i + forward, MOVE_PAWN);
                const bool on_start_rank = position.side_to_move == WHITE ? i >= 48 : i <= 15;
                if (on_start_rank && position.board_color[i + 2 * forward] == EMPTY)
                    push_move(i, i + 2 * forward, MOVE_PAWN | MOVE_PAWN_DOUBLE);
            }
            continue;
        }
        push_piece_moves<true>(i, piece);
    }
    push_castling();
    push_en_passant();
    ply_move_start[ply + 1] = ply_move_end[ply];
}

void generate_captures_by_scan() {
    ply_move_end[ply] = ply_move_start[ply];
    const int forward = position.side_to_move == WHITE ? -8 : 8;
    for (Square i = 0; i < 64; ++i) {
        if (position.board_color[i] != position.side_to_move) continue;
        const PieceType piece = position.board_piece[i];
        if (piece == PAWN) {
            if (pawn_on_last_rank(i)) continue;
            push_pawn_captures(i);
            const bool on_seventh = position.side_to_move == WHITE ? i <= 15 : i >= 48;
            if (on_seventh && position.board_color[i + forward] == EMPTY)
                push_move(i, i + forward, MOVE_PAWN);
            continue;
        }
        push_piece_moves<false>(i, piece);
    }
    push_en_passant();
    ply_move_start[ply + 1] = ply_move_end[ply];
}

// ---- the set-based generator ----
//
// Visits only the side's own pieces, lowest square first, and finds each
// line's first piece from the line sets; it writes the same moves in the same
// order with the same scores as the scan above.

namespace {

// Writes moves behind the current ply's list start; the ordering inputs are
// read once per list.
struct MoveWriter {
    ScoredMove* out;
    Move killer;
    const int (*history)[64];

    void capture(Square from, Square to, int flags) {
        *out++ = {encode_move(from, to, 0, flags),
                  CAPTURE_SCORE_BASE + 8 * position.board_piece[to] - position.board_piece[from]};
    }
    void quiet(Square from, Square to, int flags) {
        const Move move = encode_move(from, to, 0, flags);
        *out++ = {move, move == killer ? KILLER_SCORE : history[from][to]};
    }
    void promotions(Square from, Square to, int flags) {
        for (PieceType promotion = KNIGHT; promotion <= QUEEN; ++promotion)
            *out++ = {encode_move(from, to, promotion, flags | MOVE_PROMOTE),
                      CAPTURE_SCORE_BASE + 8 * promotion};
    }
    // A pawn move to the last rank comes as its four promotions.
    void pawn(Square from, Square to, int flags, bool promotes) {
        if (promotes)
            promotions(from, to, flags);
        else if (flags & MOVE_CAPTURE)
            capture(from, to, flags);
        else
            quiet(from, to, flags);
    }
};

MoveWriter start_list() {
    return {move_stack + ply_move_start[ply], ordering.killer_move[ply], ordering.history_score};
}

void finish_list(const MoveWriter& writer) {
    ply_move_end[ply] = static_cast<int>(writer.out - move_stack);
    ply_move_start[ply + 1] = ply_move_end[ply];
}

// The list so far is handed to the scan's helpers and taken back.
template <typename Push>
void push_through_scan(MoveWriter& writer, Push push) {
    finish_list(writer);
    push();
    writer.out = move_stack + ply_move_end[ply];
}

template <Side us, bool quiet_too>
void push_pawn_moves(MoveWriter& w, Square i) {
    constexpr Side them = us ^ 1;
    constexpr int forward = us == WHITE ? -8 : 8;
    const bool last_rank = us == WHITE ? i <= 7 : i >= 56;
    if (last_rank) return;
    const bool promotes = us == WHITE ? i <= 15 : i >= 48;
    // a white pawn takes where a black pawn would stand to take it
    if (!quiet_too && !promotes && (pawn_attackers[them][i] & position.side_squares[them]) == 0)
        return;
    const int capture = MOVE_PAWN | MOVE_CAPTURE;
    // toward the a-file first, as the scan tries them
    if (file_of(i) != 0 && position.board_color[i + forward - 1] == them)
        w.pawn(i, i + forward - 1, capture, promotes);
    if (file_of(i) != 7 && position.board_color[i + forward + 1] == them)
        w.pawn(i, i + forward + 1, capture, promotes);
    if (position.board_color[i + forward] != EMPTY) return;
    if (promotes) {
        w.promotions(i, i + forward, MOVE_PAWN);
    } else if (quiet_too) {
        w.quiet(i, i + forward, MOVE_PAWN);
        const bool on_start_rank = us == WHITE ? i >= 48 : i <= 15;
        if (on_start_rank && position.board_color[i + 2 * forward] == EMPTY)
            w.quiet(i, i + 2 * forward, MOVE_PAWN | MOVE_PAWN_DOUBLE);
    }
}

// Steps of a knight or king: ascending target squares are the steps' order.
template <bool quiet_too>
void push_steps(MoveWriter& w, Square i, Bitboard targets, Bitboard enemy, Bitboard empty) {
    for (Bitboard b = targets & (quiet_too ? enemy | empty : enemy); b; b &= b - 1) {
        const Square n = lowest_square(b);
        if (enemy & square_bit(n))
            w.capture(i, n, MOVE_CAPTURE);
        else
            w.quiet(i, n, 0);
    }
}

// One line of a sliding piece, near to far, up to its first piece.
template <bool quiet_too>
[[gnu::always_inline]] inline void push_line(MoveWriter& w, Square i, int d, Bitboard enemy, Bitboard occupied) {
    if (!quiet_too && (line_squares[d][i] & enemy) == 0) return;
    const Square blocker = first_on_line(d, i, occupied);
    if (quiet_too) {
        Bitboard reach = line_squares[d][i];
        if (blocker != NO_SQUARE) reach ^= line_squares[d][blocker] | square_bit(blocker);
        if (line_leads_down(d))
            for (; reach; reach ^= square_bit(highest_square(reach)))
                w.quiet(i, highest_square(reach), 0);
        else
            for (; reach; reach &= reach - 1) w.quiet(i, lowest_square(reach), 0);
    }
    if (blocker != NO_SQUARE && (enemy & square_bit(blocker))) w.capture(i, blocker, MOVE_CAPTURE);
}

constexpr Bitboard FILE_H_SQUARES = FILE_A_SQUARES << 7;

// The pieces that may have a capture or a promotion: every piece that has
// one is among them. Visiting only these skips, in most positions, nearly
// every piece, and with it the dispatch on its kind.
template <Side us>
Bitboard capture_candidates(Bitboard own, Bitboard enemy) {
    // a white pawn takes toward lower squares, a black one toward higher
    const Bitboard pawn_takers =
        us == WHITE ? ((enemy << 9) & ~FILE_A_SQUARES) | ((enemy << 7) & ~FILE_H_SQUARES)
                    : ((enemy >> 7) & ~FILE_A_SQUARES) | ((enemy >> 9) & ~FILE_H_SQUARES);
    constexpr Bitboard promotion_row = us == WHITE ? Bitboard{0xFF} << 8 : Bitboard{0xFF} << 48;
    Bitboard candidates = own & position.piece_sets[PAWN] & (pawn_takers | promotion_row);
    for (Bitboard b = own & position.piece_sets[KNIGHT]; b; b &= b - 1)
        if (knight_steps[lowest_square(b)] & enemy) candidates |= b & -b;
    for (Bitboard b = own & (position.piece_sets[BISHOP] | position.piece_sets[QUEEN]); b;
         b &= b - 1)
        if (diagonal_reach[lowest_square(b)] & enemy) candidates |= b & -b;
    for (Bitboard b = own & (position.piece_sets[ROOK] | position.piece_sets[QUEEN]); b; b &= b - 1)
        if (straight_reach[lowest_square(b)] & enemy) candidates |= b & -b;
    for (Bitboard b = own & position.piece_sets[KING]; b; b &= b - 1)
        if (king_steps[lowest_square(b)] & enemy) candidates |= b & -b;
    return candidates;
}

template <Side us, bool quiet_too>
void generate() {
    MoveWriter w = start_list();
    const Bitboard own = position.side_squares[us];
    const Bitboard enemy = position.side_squares[us ^ 1];
    const Bitboard occupied = own | enemy;
    const Bitboard empty = ~occupied;
    for (Bitboard pieces = quiet_too ? own : capture_candidates<us>(own, enemy); pieces;
         pieces &= pieces - 1) {
        const Square i = lowest_square(pieces);
        switch (position.board_piece[i]) {
            case PAWN:
                push_pawn_moves<us, quiet_too>(w, i);
                break;
            case KNIGHT:
                push_steps<quiet_too>(w, i, knight_steps[i], enemy, empty);
                break;
            case BISHOP:
                if (!quiet_too && (diagonal_reach[i] & enemy) == 0) break;
                for (int d : BISHOP_LINES) push_line<quiet_too>(w, i, d, enemy, occupied);
                break;
            case ROOK:
                if (!quiet_too && (straight_reach[i] & enemy) == 0) break;
                for (int d : ROOK_LINES) push_line<quiet_too>(w, i, d, enemy, occupied);
                break;
            case QUEEN:
                if (!quiet_too && ((diagonal_reach[i] | straight_reach[i]) & enemy) == 0) break;
                for (int d = 0; d < LINE_DIRECTIONS; ++d)
                    push_line<quiet_too>(w, i, d, enemy, occupied);
                break;
            default:
                push_steps<quiet_too>(w, i, king_steps[i], enemy, empty);
                break;
        }
    }
    if (quiet_too && position.castle_rights) push_through_scan(w, push_castling);
    if (position.ep_square != NO_SQUARE) push_through_scan(w, push_en_passant);
    finish_list(w);
}

}  // namespace

void generate_moves() {
    if (position.side_to_move == WHITE)
        generate<WHITE, true>();
    else
        generate<BLACK, true>();
}

void generate_captures() {
    if (position.side_to_move == WHITE)
        generate<WHITE, false>();
    else
        generate<BLACK, false>();
}
