// Whether a square is attacked and whether a side is in check.
#pragma once

#include "board/position.h"
#include "board/types.h"

// True when a piece of `by_side` attacks `square`; the occupant of `square`
// never blocks, so a square held by `by_side` itself counts when covered.
bool square_attacked(Square square, Side by_side);
bool in_check(Side side);
// in_check(side_to_move), worked out once per position and kept in check_state.
inline bool side_to_move_in_check() {
    if (position.check_state == CHECK_UNKNOWN)
        position.check_state = in_check(position.side_to_move);
    return position.check_state != 0;
}
// True when a bishop, rook or queen of `by_side` attacks `square` along the
// line from it through `through`; false when no line joins the two squares.
bool line_attack_through(Square square, Square through, Side by_side);
