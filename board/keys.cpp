#include "board/keys.h"

#include <array>

#include "board/position.h"

std::uint32_t piece_square_key[2][7][64];
std::uint32_t ep_square_key[64];
std::uint32_t castle_right_key[4];
std::uint32_t castle_rights_key[16];
std::uint32_t white_to_move_key;

namespace {

constexpr int RNG_WORDS = 55;

// Fixed starting words, mixed from the golden-ratio sequence so that they are
// the same in every run and not all even.
constexpr std::array<std::uint32_t, RNG_WORDS> make_seed_state() {
    std::array<std::uint32_t, RNG_WORDS> words{};
    for (int i = 0; i < RNG_WORDS; ++i) {
        std::uint32_t z = static_cast<std::uint32_t>(i + 1) * 0x9E3779B9u;
        z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
        z = (z ^ (z >> 13)) * 0xC2B2AE35u;
        words[i] = z ^ (z >> 16);
    }
    return words;
}

constexpr std::array<std::uint32_t, RNG_WORDS> rng_seed_state = make_seed_state();
static_assert(rng_seed_state[0] == 0x92CA2F0Eu && rng_seed_state[1] == 0x3CD6E3F3u &&
              rng_seed_state[54] == 0x1DB71420u);

std::uint32_t rng_state[RNG_WORDS];
int rng_j;
int rng_k;
bool rng_unseeded = true;

}  // namespace

std::uint32_t next_random() {
    if (rng_unseeded) {
        for (int i = 0; i < RNG_WORDS; ++i) rng_state[i] = rng_seed_state[i];
        rng_unseeded = false;
        rng_j = 23;
        rng_k = 54;
    }
    rng_state[rng_k] += rng_state[rng_j];
    const std::uint32_t result = rng_state[rng_k];
    if (--rng_j < 0) rng_j = RNG_WORDS - 1;
    if (--rng_k < 0) rng_k = RNG_WORDS - 1;
    return result;
}

std::uint32_t next_key_random() {
    next_random();
    return next_random();
}

void init_keys() {
    // The generator starts afresh, so every call fills the same tables.
    rng_unseeded = true;
    for (PieceType piece = PAWN; piece <= KING; ++piece)
        for (Square s = 0; s < 64; ++s) {
            piece_square_key[WHITE][piece][s] = next_key_random();
            piece_square_key[BLACK][piece][s] = next_key_random();
        }
    for (Square s = 0; s < 64; ++s) ep_square_key[s] = next_key_random();
    for (int bit = 0; bit < 4; ++bit) castle_right_key[bit] = next_key_random();
    for (int rights = 0; rights < 16; ++rights) {
        castle_rights_key[rights] = 0;
        for (int bit = 0; bit < 4; ++bit)
            if (rights & (1 << bit)) castle_rights_key[rights] ^= castle_right_key[bit];
    }
    white_to_move_key = next_key_random();
}

void compute_position_key() {
    std::uint32_t key = 0;
    for (Square s = 0; s < 64; ++s)
        if (position.board_piece[s] != EMPTY)
            key ^= piece_square_key[position.board_color[s]][position.board_piece[s]][s];
    if (position.ep_square >= 0) key ^= ep_square_key[position.ep_square];
    key ^= castle_rights_key[position.castle_rights];
    if (position.side_to_move == WHITE) key ^= white_to_move_key;
    position.position_key = key;
    // Whatever set up the position may have changed who is in check.
    position.check_state = CHECK_UNKNOWN;
}
