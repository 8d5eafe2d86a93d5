// Whether a square is attacked and whether a side is in check.
#pragma once

#include "board/types.h"

// True when a piece of `by_side` attacks `square`; the occupant of `square`
// never blocks, so a square held by `by_side` itself counts when covered.
bool square_attacked(Square square, Side by_side);
bool in_check(Side side);
