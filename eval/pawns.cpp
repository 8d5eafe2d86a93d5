#include "eval/pawns.h"

#include "board/position.h"
#include "eval/king_safety.h"

// clang-format off
// The centre pawns are pushed out of the way of the bishops early.
const int pawn_pst[64] = {
     0,  0,  0,   0,   0,  0,  0,  0,
     5, 10, 15,  20,  20, 15, 10,  5,
     4,  8, 12,  16,  16, 12,  8,  4,
     3,  6,  9,  12,  12,  9,  6,  3,
     2,  4,  6,   8,   8,  8,  4,  2,
     1,  2,  3, -10, -10,  3,  2,  1,
     0,  0,  0, -40, -60,  0,  0,  0,
     0,  0,  0,   0,   0,  0,  0,  0,
};
// clang-format on

std::int8_t file_pawn_count[2][10];
std::int8_t rear_pawn_row[2][10];

void build_pawn_file_tables() {
    for (int i = 0; i < 10; ++i) {
        file_pawn_count[WHITE][i] = 0;
        file_pawn_count[BLACK][i] = 0;
        rear_pawn_row[WHITE][i] = WHITE_NO_PAWN_ROW;
        rear_pawn_row[BLACK][i] = BLACK_NO_PAWN_ROW;
    }
    if (position.pawn_material[WHITE] == 0 && position.pawn_material[BLACK] == 0) return;
    for (Side side = WHITE; side <= BLACK; ++side) {
        for (const Square s : position.pawn_squares[side]) {
            if (s == NO_SQUARE) continue;
            const int i = file_of(s) + 1;
            const int r = row_of(s);
            ++file_pawn_count[side][i];
            // white's rearmost pawn has the largest row, black's the smallest
            if (side == WHITE ? rear_pawn_row[side][i] < r : rear_pawn_row[side][i] > r)
                rear_pawn_row[side][i] = static_cast<std::int8_t>(r);
        }
    }
}

int score_white_pawn(Square s) {
    const int i = file_of(s) + 1;
    const int r = row_of(s);
    int score = pawn_pst[s];
    // another white pawn behind this one on its file
    if (rear_pawn_row[WHITE][i] > r) score -= DOUBLED_PAWN_PENALTY;
    if (file_pawn_count[WHITE][i - 1] == 0 && file_pawn_count[WHITE][i + 1] == 0)
        score -= ISOLATED_PAWN_PENALTY;
    else if (rear_pawn_row[WHITE][i - 1] < r && rear_pawn_row[WHITE][i + 1] < r)
        score -= BACKWARD_PAWN_PENALTY;
    // no black pawn in front of it on its own or a neighbouring file
    if (rear_pawn_row[BLACK][i - 1] >= r && rear_pawn_row[BLACK][i] >= r &&
        rear_pawn_row[BLACK][i + 1] >= r)
        score += PASSED_PAWN_BONUS_PER_RANK * (7 - r);
    return score;
}

int score_black_pawn(Square s) {
    const int i = file_of(s) + 1;
    const int r = row_of(s);
    int score = pawn_pst[(s ^ 56)];
    // another black pawn behind this one on its file
    if (rear_pawn_row[BLACK][i] < r) score -= DOUBLED_PAWN_PENALTY;
    if (file_pawn_count[BLACK][i - 1] == 0 && file_pawn_count[BLACK][i + 1] == 0)
        score -= ISOLATED_PAWN_PENALTY;
    else if (rear_pawn_row[BLACK][i - 1] > r && rear_pawn_row[BLACK][i + 1] > r)
        score -= BACKWARD_PAWN_PENALTY;
    // no white pawn in front of it on its own or a neighbouring file
    if (rear_pawn_row[WHITE][i - 1] <= r && rear_pawn_row[WHITE][i] <= r &&
        rear_pawn_row[WHITE][i + 1] <= r)
        score += PASSED_PAWN_BONUS_PER_RANK * r;
    return score;
}

namespace {

// 2^14 entries of one cache line each: 1 MiB, the whole cache.
constexpr int PAWN_CACHE_BITS = 14;

struct alignas(64) PawnCacheEntry {
    Bitboard pawns[2];
    std::int16_t scores[2];  // a side's pawns score within a few thousand
    std::int16_t king_shelter_penalty[2][KING_FILE_GROUPS];
    bool filled;
};
static_assert(sizeof(PawnCacheEntry) == 64);

PawnCacheEntry pawn_cache[1 << PAWN_CACHE_BITS];

std::uint32_t pawn_cache_index(Bitboard white, Bitboard black) {
    const Bitboard mixed = (white * 0x9E3779B97F4A7C15ull) ^ (black * 0xC2B2AE3D27D4EB4Full);
    return static_cast<std::uint32_t>(mixed >> (64 - PAWN_CACHE_BITS));
}

void work_out(PawnCacheEntry& entry) {
    build_pawn_file_tables();
    int white = 0;
    int black = 0;
    for (const Square s : position.pawn_squares[WHITE])
        if (s != NO_SQUARE) white += score_white_pawn(s);
    for (const Square s : position.pawn_squares[BLACK])
        if (s != NO_SQUARE) black += score_black_pawn(s);
    entry.pawns[WHITE] = position.pawn_sets[WHITE];
    entry.pawns[BLACK] = position.pawn_sets[BLACK];
    entry.scores[WHITE] = static_cast<std::int16_t>(white);
    entry.scores[BLACK] = static_cast<std::int16_t>(black);
    for (Side side = WHITE; side <= BLACK; ++side)
        for (int group = 0; group < KING_FILE_GROUPS; ++group)
            entry.king_shelter_penalty[side][group] =
                static_cast<std::int16_t>(king_shelter_penalty(side, KING_GROUP_FILE[group]));
    entry.filled = true;
}

}  // namespace

PawnScores load_pawn_structure() {
    PawnCacheEntry& entry =
        pawn_cache[pawn_cache_index(position.pawn_sets[WHITE], position.pawn_sets[BLACK])];
    if (!entry.filled || entry.pawns[WHITE] != position.pawn_sets[WHITE] ||
        entry.pawns[BLACK] != position.pawn_sets[BLACK])
        work_out(entry);
    return {
        {entry.scores[WHITE], entry.scores[BLACK]},
        {entry.king_shelter_penalty[WHITE][king_file_group(file_of(position.king_square[WHITE]))],
         entry.king_shelter_penalty[BLACK][king_file_group(file_of(position.king_square[BLACK]))]}};
}
