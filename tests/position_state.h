// A snapshot of the whole position state, for tests that check that something
// leaves the position exactly as it found it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <sstream>
#include <string>

#include "board/position.h"

inline std::string square_name(Square s) {
    return {static_cast<char>('a' + file_of(s)), static_cast<char>('8' - row_of(s))};
}

// Everything make_move changes and take_back must restore. The pawn lists are
// kept sorted: a re-inserted pawn may take another free entry.
struct PositionState {
    std::array<int, 64> color;
    std::array<int, 64> piece;
    Side side;
    Side opponent;
    int rights;
    Square ep;
    int clock;
    std::uint32_t key;
    std::array<Square, 2> kings;
    std::array<std::array<Square, 8>, 2> pawns;
    std::array<int, 2> pawn_sum;
    std::array<int, 2> piece_sum;
    std::array<int, 2> total_sum;
    int ply_now;

    bool operator==(const PositionState&) const = default;
};

inline PositionState capture_state() {
    PositionState state;
    std::copy(board_color, board_color + 64, state.color.begin());
    std::copy(board_piece, board_piece + 64, state.piece.begin());
    state.side = side_to_move;
    state.opponent = opponent_side;
    state.rights = castle_rights;
    state.ep = ep_square;
    state.clock = halfmove_clock;
    state.key = position_key;
    for (Side side = WHITE; side <= BLACK; ++side) {
        state.kings[side] = king_square[side];
        std::copy(pawn_squares[side], pawn_squares[side] + 8, state.pawns[side].begin());
        std::sort(state.pawns[side].begin(), state.pawns[side].end());
        state.pawn_sum[side] = pawn_material[side];
        state.piece_sum[side] = piece_material[side];
        state.total_sum[side] = total_material[side];
    }
    state.ply_now = ply;
    return state;
}

// Names every field in which two states differ; empty when they agree.
inline std::string state_difference(const PositionState& a, const PositionState& b) {
    std::ostringstream out;
    for (Square s = 0; s < 64; ++s)
        if (a.color[s] != b.color[s] || a.piece[s] != b.piece[s])
            out << " square " << square_name(s) << " (" << a.color[s] << "," << a.piece[s] << " vs "
                << b.color[s] << "," << b.piece[s] << ")";
    const auto field = [&out](const char* name, auto x, auto y) {
        if (x != y) out << " " << name << " (" << x << " vs " << y << ")";
    };
    field("side_to_move", a.side, b.side);
    field("opponent_side", a.opponent, b.opponent);
    field("castle_rights", a.rights, b.rights);
    field("ep_square", a.ep, b.ep);
    field("halfmove_clock", a.clock, b.clock);
    field("position_key", a.key, b.key);
    field("ply", a.ply_now, b.ply_now);
    for (Side side = WHITE; side <= BLACK; ++side) {
        field("king_square", a.kings[side], b.kings[side]);
        if (a.pawns[side] != b.pawns[side]) out << " pawn_squares[" << side << "]";
        field("pawn_material", a.pawn_sum[side], b.pawn_sum[side]);
        field("piece_material", a.piece_sum[side], b.piece_sum[side]);
        field("total_material", a.total_sum[side], b.total_sum[side]);
    }
    return out.str();
}

