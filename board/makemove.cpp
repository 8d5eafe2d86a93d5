#include "board/makemove.h"

#include <cstdint>

#include "board/attack.h"
#include "board/keys.h"
#include "board/position.h"

namespace {

void pawn_list_remove(Side side, Square s) {
    position.pawn_sets[side] ^= square_bit(s);
    for (Square& entry : position.pawn_squares[side])
        if (entry == s) {
            entry = NO_SQUARE;
            return;
        }
}

void pawn_list_replace(Side side, Square from, Square to) {
    position.pawn_sets[side] ^= square_bit(from) | square_bit(to);
    for (Square& entry : position.pawn_squares[side])
        if (entry == from) {
            entry = to;
            return;
        }
}

void pawn_list_insert(Side side, Square s) {
    position.pawn_sets[side] |= square_bit(s);
    for (Square& entry : position.pawn_squares[side])
        if (entry == NO_SQUARE) {
            entry = s;
            return;
        }
}

void sum_material(Side side) {
    position.total_material[side] = position.pawn_material[side] + position.piece_material[side];
}

void move_piece(Square from, Square to) {
    position.side_squares[position.board_color[from]] ^= square_bit(from) | square_bit(to);
    position.piece_sets[position.board_piece[from]] ^= square_bit(from) | square_bit(to);
    position.board_color[to] = position.board_color[from];
    position.board_piece[to] = position.board_piece[from];
    position.board_color[from] = EMPTY;
    position.board_piece[from] = EMPTY;
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

// make_move and make_move_full_test; only the second always scans for attacks.
template <bool always_full_test>
bool make_move_testing(Move move) {
    const Side s = position.side_to_move;
    const Side o = position.opponent_side;
    const Square from = move_from(move);
    const Square to = move_to(move);
    const int flags = move_flags(move);

    // A move that is not the king's, en passant or castling, made while not in
    // check, can expose the king only along a line through its from-square.
    const bool king_moves = position.board_piece[from] == KING;
    const bool needs_full_test = always_full_test || king_moves ||
                                 (flags & (MOVE_EN_PASSANT | MOVE_CASTLE)) ||
                                 side_to_move_in_check();

    // The key is updated as the pieces move, from what the move changes: it
    // always equals the key computed from scratch.
    std::uint32_t key = position.position_key ^ white_to_move_key;
    if (flags & MOVE_CASTLE) {
        if (side_to_move_in_check()) return false;
        const CastleRoute& route = castle_route(to);
        for (Square square : route.must_be_empty)
            if (square != NO_SQUARE && position.board_color[square] != EMPTY) return false;
        for (Square square : route.must_be_safe)
            if (square_attacked(square, o)) return false;
        move_piece(route.rook_from, route.rook_to);
        key ^= piece_square_key[s][ROOK][route.rook_from] ^ piece_square_key[s][ROOK][route.rook_to];
    }

    // Read once into locals: every store below goes to an int table that
    // the compiler must otherwise assume could change them.
    const PieceType piece = position.board_piece[from];
    const PieceType captured = position.board_piece[to];
    const int old_rights = position.castle_rights;
    const Square old_ep_square = position.ep_square;
    UndoRecord& record = undo_stack[ply];
    record.move = move;
    record.captured = captured;
    record.castle_rights = old_rights;
    record.ep_square = old_ep_square;
    record.halfmove_clock = position.halfmove_clock;
    record.check_state = position.check_state;
    record.previous_key = position.position_key;
    ++ply;

    const Bitboard from_and_to = square_bit(from) | square_bit(to);
    position.side_squares[s] ^= from_and_to;
    key ^= piece_square_key[s][piece][from];
    if (captured != EMPTY) {
        position.side_squares[o] ^= square_bit(to);
        position.piece_sets[captured] ^= square_bit(to);
        key ^= piece_square_key[o][captured][to];
        if (captured == PAWN) {
            position.pawn_material[o] -= piece_value[PAWN];
            pawn_list_remove(o, to);
        } else {
            position.piece_material[o] -= piece_value[captured];
        }
        sum_material(o);
    }
    const int new_rights = old_rights & castle_keep_mask[from] & castle_keep_mask[to];
    position.castle_rights = new_rights;
    key ^= castle_rights_key[old_rights ^ new_rights];
    if (old_ep_square != NO_SQUARE) key ^= ep_square_key[old_ep_square];
    if (flags & MOVE_PAWN_DOUBLE) {
        const Square passed = s == WHITE ? to + 8 : to - 8;
        position.ep_square = passed;
        key ^= ep_square_key[passed];
    } else {
        position.ep_square = NO_SQUARE;
    }
    if (flags & (MOVE_CAPTURE | MOVE_PAWN))
        position.halfmove_clock = 0;
    else
        ++position.halfmove_clock;
    if (king_moves) position.king_square[s] = to;

    PieceType arrived = piece;
    if (flags & MOVE_PROMOTE) {
        arrived = move_promotion(move);
        position.piece_sets[PAWN] ^= square_bit(from);
        position.piece_sets[arrived] ^= square_bit(to);
        position.pawn_material[s] -= piece_value[PAWN];
        position.piece_material[s] += piece_value[arrived];
        sum_material(s);
        pawn_list_remove(s, from);
    } else {
        position.piece_sets[piece] ^= from_and_to;
        if (flags & MOVE_PAWN) pawn_list_replace(s, from, to);
    }
    key ^= piece_square_key[s][arrived][to];
    position.board_color[to] = s;
    position.board_piece[to] = arrived;
    position.board_color[from] = EMPTY;
    position.board_piece[from] = EMPTY;

    if (flags & MOVE_EN_PASSANT) {
        const Square victim = en_passant_victim(to, s);
        position.side_squares[o] ^= square_bit(victim);
        position.piece_sets[PAWN] ^= square_bit(victim);
        key ^= piece_square_key[o][PAWN][victim];
        position.board_color[victim] = EMPTY;
        position.board_piece[victim] = EMPTY;
        pawn_list_remove(o, victim);
        position.pawn_material[o] -= piece_value[PAWN];
        sum_material(o);
    }

    position.side_to_move = o;
    position.opponent_side = s;
    position.position_key = key;
    record.key = key;
    position.check_state = CHECK_UNKNOWN;

    if (needs_full_test ? square_attacked(position.king_square[s], o)
                        : line_attack_through(position.king_square[s], from, o)) {
        take_back();
        return false;
    }
    return true;
}

}  // namespace

bool make_move(Move move) { return make_move_testing<false>(move); }

std::uint32_t key_after(Move move) {
    const Side s = position.side_to_move;
    const Square from = move_from(move);
    const Square to = move_to(move);
    const int flags = move_flags(move);
    const PieceType piece = position.board_piece[from];
    const PieceType captured = position.board_piece[to];
    const PieceType arrived = (flags & MOVE_PROMOTE) ? move_promotion(move) : piece;
    std::uint32_t key = position.position_key ^ white_to_move_key ^
                        piece_square_key[s][piece][from] ^ piece_square_key[s][arrived][to];
    if (captured != EMPTY) key ^= piece_square_key[s ^ 1][captured][to];
    key ^=
        castle_rights_key[position.castle_rights ^
                          (position.castle_rights & castle_keep_mask[from] & castle_keep_mask[to])];
    if (position.ep_square != NO_SQUARE) key ^= ep_square_key[position.ep_square];
    if (flags & (MOVE_PAWN_DOUBLE | MOVE_EN_PASSANT | MOVE_CASTLE)) {
        if (flags & MOVE_PAWN_DOUBLE) key ^= ep_square_key[s == WHITE ? to + 8 : to - 8];
        if (flags & MOVE_EN_PASSANT) key ^= piece_square_key[s ^ 1][PAWN][en_passant_victim(to, s)];
        if (flags & MOVE_CASTLE) {
            const CastleRoute& route = castle_route(to);
            key ^= piece_square_key[s][ROOK][route.rook_from] ^ piece_square_key[s][ROOK][route.rook_to];
        }
    }
    return key;
}

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
    const Side o = position.side_to_move;
    const Side s = position.opponent_side;
    position.side_to_move = s;
    position.opponent_side = o;
    --ply;
    const UndoRecord& record = undo_stack[ply];
    const Move move = record.move;
    const PieceType captured = record.captured;
    position.position_key = record.previous_key;
    const Square from = move_from(move);
    const Square to = move_to(move);
    const int flags = move_flags(move);
    position.castle_rights = record.castle_rights;
    position.ep_square = record.ep_square;
    position.halfmove_clock = record.halfmove_clock;
    position.check_state = record.check_state;

    const Bitboard from_and_to = square_bit(from) | square_bit(to);
    position.side_squares[s] ^= from_and_to;
    const PieceType arrived = position.board_piece[to];
    PieceType piece = arrived;
    if (flags & MOVE_PROMOTE) {
        piece = PAWN;
        position.piece_sets[PAWN] ^= square_bit(from);
        position.piece_sets[arrived] ^= square_bit(to);
        position.pawn_material[s] += piece_value[PAWN];
        position.piece_material[s] -= piece_value[arrived];
        sum_material(s);
        pawn_list_insert(s, from);
    } else {
        position.piece_sets[piece] ^= from_and_to;
        if (piece == KING) position.king_square[s] = from;
        if (flags & MOVE_PAWN) pawn_list_replace(s, to, from);
    }
    position.board_color[from] = s;
    position.board_piece[from] = piece;

    if (captured == EMPTY) {
        position.board_color[to] = EMPTY;
        position.board_piece[to] = EMPTY;
    } else {
        position.side_squares[o] ^= square_bit(to);
        position.piece_sets[captured] ^= square_bit(to);
        position.board_color[to] = o;
        position.board_piece[to] = captured;
        if (captured == PAWN) {
            position.pawn_material[o] += piece_value[PAWN];
            pawn_list_insert(o, to);
        } else {
            position.piece_material[o] += piece_value[captured];
        }
        sum_material(o);
    }

    if (flags & MOVE_CASTLE) {
        const CastleRoute& route = castle_route(to);
        move_piece(route.rook_to, route.rook_from);
    }

    if (flags & MOVE_EN_PASSANT) {
        const Square victim = en_passant_victim(to, s);
        position.side_squares[o] ^= square_bit(victim);
        position.piece_sets[PAWN] ^= square_bit(victim);
        position.board_color[victim] = o;
        position.board_piece[victim] = PAWN;
        pawn_list_insert(o, victim);
        position.pawn_material[o] += piece_value[PAWN];
        sum_material(o);
    }
}
