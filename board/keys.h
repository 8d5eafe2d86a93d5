// Position keys: XOR of fixed random values for the position's features,
// drawn once from an additive lagged-Fibonacci generator with a fixed seed.
#pragma once

#include <cstdint>

#include "board/types.h"

extern std::uint32_t piece_square_key[2][7][64];
extern std::uint32_t ep_square_key[64];
extern std::uint32_t castle_right_key[4];
// The XOR of castle_right_key over the bits of each set of rights.
extern std::uint32_t castle_rights_key[16];
extern std::uint32_t white_to_move_key;

// Recomputes `position_key` from scratch.
void compute_position_key();
// Fills the key tables; called once at start-up.
void init_keys();
std::uint32_t next_key_random();
std::uint32_t next_random();
