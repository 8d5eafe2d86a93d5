// A weaker level for people: UCI_LimitStrength and UCI_Elo turned into a
// node limit per move and a controlled choice among near-equal root moves.
// The table of levels (strength.cpp) is fitted to games against Fairy-Max
// (docs/strength.md).
#pragma once

#include <cstdint>

#include "board/types.h"

constexpr int ELO_MIN = 860;
constexpr int ELO_MAX = 1880;

// What a level plays with.
struct StrengthLevel {
    int depth;        // the deepest iteration
    long long nodes;  // per move (the search counts them in steps of 1024)
    int lines;        // root moves scored, among which the move is drawn
    int margin_cp;    // how far below the best a drawn move may score
};

// The level for `elo`, which lies in ELO_MIN .. ELO_MAX.
StrengthLevel strength_level(int elo);

// The draws of one game: the same seed replays the same choices.
void reset_strength_draws(std::uint64_t seed);
// Picks one of `count` moves whose scores (best first) are in `scores`: a
// move within the margin of the best, each with equal chance.
int draw_move(const int* scores, int count, int margin_cp);
