// A snapshot of the whole position state, for tests that check that something
// leaves the position exactly as it found it.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>

#include "board/position.h"

inline std::string square_name(Square s) {
    return {static_cast<char>('a' + file_of(s)), static_cast<char>('8' - row_of(s))};
}

// Everything make_move changes and take_back must restore: the position
// record and the search ply. The pawn lists are kept sorted, since a
// re-inserted pawn may take another free entry, and the check answer is left
// out: it is a cache, which a search may fill in for the root and whose
// agreement with the board position_is_consistent checks.
struct PositionState {
    Position position;
    int ply_now;

    bool operator==(const PositionState&) const = default;
};

inline PositionState capture_state() {
    PositionState state{::position, ply};
    for (auto& pawns : state.position.pawn_squares) std::sort(pawns, pawns + 8);
    state.position.check_state = CHECK_UNKNOWN;
    return state;
}

// Names every field in which two states differ; empty when they agree.
inline std::string state_difference(const PositionState& x, const PositionState& y) {
    const Position& a = x.position;
    const Position& b = y.position;
    std::ostringstream out;
    for (Square s = 0; s < 64; ++s)
        if (a.board_color[s] != b.board_color[s] || a.board_piece[s] != b.board_piece[s])
            out << " square " << square_name(s) << " (" << a.board_color[s] << ","
                << a.board_piece[s] << " vs " << b.board_color[s] << "," << b.board_piece[s] << ")";
    const auto field = [&out](const char* name, auto p, auto q) {
        if (p != q) out << " " << name << " (" << p << " vs " << q << ")";
    };
    field("side_to_move", a.side_to_move, b.side_to_move);
    field("opponent_side", a.opponent_side, b.opponent_side);
    field("castle_rights", a.castle_rights, b.castle_rights);
    field("ep_square", a.ep_square, b.ep_square);
    field("halfmove_clock", a.halfmove_clock, b.halfmove_clock);
    field("position_key", a.position_key, b.position_key);
    field("ply", x.ply_now, y.ply_now);
    for (Side side = WHITE; side <= BLACK; ++side) {
        field("side_squares", a.side_squares[side], b.side_squares[side]);
        field("king_square", a.king_square[side], b.king_square[side]);
        if (!std::equal(a.pawn_squares[side], a.pawn_squares[side] + 8, b.pawn_squares[side]))
            out << " pawn_squares[" << side << "]";
        field("pawn_sets", a.pawn_sets[side], b.pawn_sets[side]);
        field("pawn_material", a.pawn_material[side], b.pawn_material[side]);
        field("piece_material", a.piece_material[side], b.piece_material[side]);
        field("total_material", a.total_material[side], b.total_material[side]);
    }
    for (PieceType piece = PAWN; piece <= KING; ++piece)
        field("piece_sets", a.piece_sets[piece], b.piece_sets[piece]);
    return out.str();
}
