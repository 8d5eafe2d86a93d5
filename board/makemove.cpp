#include "board/makemove.h"

#include <cstdint>

#include "board/attack.h"
#include "board/keys.h"
#include "board/position.h"

namespace {

void pawn_list_remove(Side side, Square s) {
    pawn_sets[side] ^= square_bit(s);
    for (Square& entry : pawn_squares[side])
        if (entry == s) {
            entry = NO_SQUARE;
            return;
        }
}

void pawn_list_replace(Side side, Square from, Square to) {
    pawn_sets[side] ^= square_bit(from) | square_bit(to);
    for (Square& entry : pawn_squares[side])
        if (entry == from) {
            entry = to;
            return;
        }
}

void pawn_list_insert(Side side, Square s) {
    pawn_sets[side] |= square_bit(s);
    for (Square& entry : pawn_squares[side])
        if (entry == NO_SQUARE) {
            entry = s;
            return;
        }
}

void sum_material(Side side) { total_material[side] = pawn_material[side] + piece_material[side]; }

void move_piece(Square from, Square to) {
    side_squares[board_color[from]] ^= square_bit(from) | square_bit(to);
    piece_sets[board_piece[from]] ^= square_bit(from) | square_bit(to);
    board_color[to] = board_color[from];
    board_piece[to] = board_piece[from];
    board_color[from] = EMPTY;
    board_piece[from] = EMPTY;
}

struct CastleRoute {
    Square king_to;
    Square must_be_empty[3];
    Square must_be_safe[2];
    Square rook_from;
    Square rook_to;
};

// b1 and b8 need only be empty: the king never crosses them.
constexpr CastleRoute castle_routes[4] = {
    {62, {61, 62, NO_SQUARE}, {61, 62}, 63, 61},
    {58, {57, 58, 59}, {58, 59}, 56, 59},
    {6, {5, 6, NO_SQUARE}, {5, 6}, 7, 5},
    {2, {1, 2, 3}, {2, 3}, 0, 3},
};

const CastleRoute& castle_route(Square king_to) {
    int i = 0;
    while (castle_routes[i].king_to != king_to) ++i;
    return castle_routes[i];
}

// The pawn taken en passant stands behind the destination.
Square en_passant_victim(Square to, Side mover) { return mover == WHITE ? to + 8 : to - 8; }

// The key bits a move flips, read from the position right after the move and
// its record: XOR-ing them in makes the move's key, which always equals the key
// computed from scratch; take_back restores the key the record kept.
// Inlined: make_move's one call would otherwise cost a call's saving of registers.
[[gnu::always_inline]] inline std::uint32_t key_change(const UndoRecord& record, Side mover) {
    const Square from = move_from(record.move);
    const Square to = move_to(record.move);
    const int flags = move_flags(record.move);
    const PieceType arrived = board_piece[to];
    const PieceType left = (flags & MOVE_PROMOTE) ? PAWN : arrived;
    std::uint32_t change = piece_square_key[mover][left][from] ^ piece_square_key[mover][arrived][to];
    if (record.captured != EMPTY) change ^= piece_square_key[mover ^ 1][record.captured][to];
    if (flags & MOVE_EN_PASSANT)
        change ^= piece_square_key[mover ^ 1][PAWN][en_passant_victim(to, mover)];
    if (flags & MOVE_CASTLE) {
        const CastleRoute& route = castle_route(to);
        change ^= piece_square_key[mover][ROOK][route.rook_from] ^ piece_square_key[mover][ROOK][route.rook_to];
    }
    change ^= castle_rights_key[record.castle_rights ^ castle_rights];
    if (record.ep_square != NO_SQUARE) change ^= ep_square_key[record.ep_square];
    if (ep_square != NO_SQUARE) change ^= ep_square_key[ep_square];
    return change ^ white_to_move_key;
}

// make_move and make_move_full_test; only the second always scans for attacks.
template <bool always_full_test>
bool make_move_testing(Move move) {
    const Side s = side_to_move;
    const Side o = opponent_side;
    const Square from = move_from(move);
    const Square to = move_to(move);
    const int flags = move_flags(move);

    // A move that is not the king's, en passant or castling, made while not in
    // check, can expose the king only along a line through its from-square.
    const bool king_moves = board_piece[from] == KING;
    const bool needs_full_test = always_full_test || king_moves ||
                                 (flags & (MOVE_EN_PASSANT | MOVE_CASTLE)) ||
                                 side_to_move_in_check();

    if (flags & MOVE_CASTLE) {
        if (side_to_move_in_check()) return false;
        const CastleRoute& route = castle_route(to);
        for (Square square : route.must_be_empty)
            if (square != NO_SQUARE && board_color[square] != EMPTY) return false;
        for (Square square : route.must_be_safe)
            if (square_attacked(square, o)) return false;
        move_piece(route.rook_from, route.rook_to);
    }

    UndoRecord& record = undo_stack[ply];
    record.move = move;
    record.captured = board_piece[to];
    record.castle_rights = castle_rights;
    record.ep_square = ep_square;
    record.halfmove_clock = halfmove_clock;
    record.check_state = check_state;
    record.previous_key = position_key;
    ++ply;

    side_squares[s] ^= square_bit(from) | square_bit(to);
    if (record.captured != EMPTY) {
        side_squares[o] ^= square_bit(to);
        piece_sets[record.captured] ^= square_bit(to);
    }

    if (record.captured != EMPTY) {
        if (record.captured == PAWN) {
            pawn_material[o] -= piece_value[PAWN];
            pawn_list_remove(o, to);
        } else {
            piece_material[o] -= piece_value[record.captured];
        }
        sum_material(o);
    }
    castle_rights &= castle_keep_mask[from] & castle_keep_mask[to];
    ep_square = (flags & MOVE_PAWN_DOUBLE) ? (s == WHITE ? to + 8 : to - 8) : NO_SQUARE;
    if (flags & (MOVE_CAPTURE | MOVE_PAWN))
        halfmove_clock = 0;
    else
        ++halfmove_clock;
    if (king_moves) king_square[s] = to;

    board_color[to] = s;
    if (flags & MOVE_PROMOTE) {
        const PieceType promotion = move_promotion(move);
        piece_sets[PAWN] ^= square_bit(from);
        piece_sets[promotion] ^= square_bit(to);
        board_piece[to] = promotion;
        pawn_material[s] -= piece_value[PAWN];
        piece_material[s] += piece_value[promotion];
        sum_material(s);
        pawn_list_remove(s, from);
    } else {
        board_piece[to] = board_piece[from];
        piece_sets[board_piece[to]] ^= square_bit(from) | square_bit(to);
        if (flags & MOVE_PAWN) pawn_list_replace(s, from, to);
    }
    board_color[from] = EMPTY;
    board_piece[from] = EMPTY;

    if (flags & MOVE_EN_PASSANT) {
        const Square victim = en_passant_victim(to, s);
        side_squares[o] ^= square_bit(victim);
        piece_sets[PAWN] ^= square_bit(victim);
        board_color[victim] = EMPTY;
        board_piece[victim] = EMPTY;
        pawn_list_remove(o, victim);
        pawn_material[o] -= piece_value[PAWN];
        sum_material(o);
    }

    side_to_move ^= 1;
    opponent_side ^= 1;
    position_key ^= key_change(record, s);
    record.key = position_key;
    check_state = CHECK_UNKNOWN;

    if (needs_full_test ? square_attacked(king_square[s], o)
                        : line_attack_through(king_square[s], from, o)) {
        take_back();
        return false;
    }
    return true;
}

}  // namespace

bool make_move(Move move) { return make_move_testing<false>(move); }

bool make_move_full_test(Move move) { return make_move_testing<true>(move); }

int count_legal_moves(Move* first_legal) {
    int count = 0;
    if (first_legal) *first_legal = 0;
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        const Move move = move_stack[i].move;
        if (!make_move(move)) continue;
        take_back();
        if (count++ == 0 && first_legal) *first_legal = move;
    }
    return count;
}

void take_back() {
    side_to_move ^= 1;
    opponent_side ^= 1;
    const Side s = side_to_move;
    const Side o = opponent_side;
    --ply;
    const UndoRecord& record = undo_stack[ply];
    position_key = record.previous_key;
    const Square from = move_from(record.move);
    const Square to = move_to(record.move);
    const int flags = move_flags(record.move);
    castle_rights = record.castle_rights;
    ep_square = record.ep_square;
    halfmove_clock = record.halfmove_clock;
    check_state = record.check_state;

    side_squares[s] ^= square_bit(from) | square_bit(to);
    if (record.captured != EMPTY) {
        side_squares[o] ^= square_bit(to);
        piece_sets[record.captured] ^= square_bit(to);
    }
    board_color[from] = s;
    if (flags & MOVE_PROMOTE) {
        piece_sets[PAWN] ^= square_bit(from);
        piece_sets[board_piece[to]] ^= square_bit(to);
        pawn_material[s] += piece_value[PAWN];
        board_piece[from] = PAWN;
        piece_material[s] -= piece_value[board_piece[to]];
        sum_material(s);
        pawn_list_insert(s, from);
    } else {
        board_piece[from] = board_piece[to];
        piece_sets[board_piece[from]] ^= square_bit(from) | square_bit(to);
        if (board_piece[from] == KING) king_square[s] = from;
        if (flags & MOVE_PAWN) pawn_list_replace(s, to, from);
    }

    if (record.captured == EMPTY) {
        board_color[to] = EMPTY;
        board_piece[to] = EMPTY;
    } else {
        board_color[to] = o;
        board_piece[to] = record.captured;
        if (record.captured == PAWN) {
            pawn_material[o] += piece_value[PAWN];
            pawn_list_insert(o, to);
        } else {
            piece_material[o] += piece_value[record.captured];
        }
        sum_material(o);
    }

    if (flags & MOVE_CASTLE) {
        const CastleRoute& route = castle_route(to);
        move_piece(route.rook_to, route.rook_from);
    }

    if (flags & MOVE_EN_PASSANT) {
        const Square victim = en_passant_victim(to, s);
        side_squares[o] ^= square_bit(victim);
        piece_sets[PAWN] ^= square_bit(victim);
        board_color[victim] = o;
        board_piece[victim] = PAWN;
        pawn_list_insert(o, victim);
        pawn_material[o] += piece_value[PAWN];
        sum_material(o);
    }
}
