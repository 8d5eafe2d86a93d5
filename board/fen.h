// Setting up a position from Forsyth-Edwards Notation, for tests and tools.
// The engine's protocol has no such command.
#pragma once

// Loads the position, empties the game record and establishes every invariant
// of the position state, the key included. Returns false (position unspecified)
// on text it cannot read or a position it cannot represent.
bool load_fen(const char* fen);
