#include "eval/material.h"

#include "board/position.h"

namespace {

int knight_count(Side side) {
    int count = 0;
    for (Square s = 0; s < 64; ++s)
        if (position.board_color[s] == side && position.board_piece[s] == KNIGHT) ++count;
    return count;
}

// Called only once both sides are out of pawns.
bool lacks_mating_material(Side side) {
    if (position.total_material[side] < piece_value[ROOK]) return true;
    return position.total_material[side] == 2 * piece_value[KNIGHT] && knight_count(side) == 2;
}

}  // namespace

bool no_mating_material() {
    if (position.pawn_material[WHITE] > 0 || position.pawn_material[BLACK] > 0) return false;
    return lacks_mating_material(WHITE) && lacks_mating_material(BLACK);
}
