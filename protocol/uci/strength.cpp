#include "protocol/uci/strength.h"

#include <algorithm>

namespace {

// The levels at the table's rows; a level between two rows plays as the
// row below it with nodes in tenths of the gap to the row above. Each row's
// rating is the one its settings earned in games against Fairy-Max and each
// other (docs/strength.md), on a scale where Fairy-Max at 0.2 s a move is
// 1600.
struct Row {
    int elo;
    int depth;
    long long nodes;
    int lines;
    int margin_cp;
};
constexpr Row rows[] = {
    {860, 1, 1024, 8, 300},      {910, 1, 1024, 4, 150},      {1010, 2, 1024, 4, 100},
    {1160, 3, 2048, 3, 60},      {1210, 4, 4096, 3, 40},      {1350, 31, 8192, 2, 25},
    {1490, 31, 16384, 2, 15},    {1560, 31, 32768, 2, 8},     {1680, 31, 65536, 1, 0},
    {1760, 31, 262144, 1, 0},    {1880, 31, 1048576, 1, 0},
};

std::uint64_t draw_state = 1;

// A 64-bit xorshift step: small, fast and the same on every machine.
std::uint64_t next_draw() {
    draw_state ^= draw_state << 13;
    draw_state ^= draw_state >> 7;
    draw_state ^= draw_state << 17;
    return draw_state;
}

}  // namespace

StrengthLevel strength_level(int elo) {
    elo = std::clamp(elo, ELO_MIN, ELO_MAX);
    const Row* upper = rows;
    while (upper->elo < elo) ++upper;
    if (upper->elo == elo || upper == rows)
        return {upper->depth, upper->nodes, upper->lines, upper->margin_cp};
    const Row* lower = upper - 1;
    const long long tenths = (elo - lower->elo) * 10 / (upper->elo - lower->elo);
    const long long nodes = lower->nodes + (upper->nodes - lower->nodes) * tenths / 10;
    return {lower->depth, nodes, lower->lines, lower->margin_cp};
}

void reset_strength_draws(std::uint64_t seed) { draw_state = seed == 0 ? 1 : seed; }

int draw_move(const int* scores, int count, int margin_cp) {
    int candidates = 0;
    while (candidates < count && scores[candidates] >= scores[0] - margin_cp) ++candidates;
    if (candidates <= 1) return 0;
    return static_cast<int>(next_draw() % static_cast<std::uint64_t>(candidates));
}
