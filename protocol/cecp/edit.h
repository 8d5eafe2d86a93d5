// Edit mode, in which an interface sets up a position square by square.
#pragma once

// Reads edit-mode lines until "." or "quit" and rebuilds everything derived
// from the board. Returns false when the input ended inside edit mode.
bool edit_position();
