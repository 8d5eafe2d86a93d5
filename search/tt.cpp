#include "search/tt.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "board/position.h"
#include "platform/platform.h"

TTEntry* tt_table = nullptr;
std::uint32_t tt_entries = 0;
std::uint32_t tt_mask = 0;

namespace {

// Never 0, the generation of an entry never written.
std::uint8_t tt_generation = 1;

}  // namespace

void tt_set_size(int n) {
    tt_release();
    if (n < TT_MIN_EXPONENT || n > TT_MAX_EXPONENT) {
        tt_entries = 0;
        tt_mask = 0;
        return;
    }
    tt_entries = std::uint32_t{1} << n;
    tt_mask = tt_entries - 1;
}

namespace {

// Probes land anywhere in the table: in large pages, where the system offers
// them, far fewer of them miss the address cache than in small ones. The
// table stays calloc's, zeroed only as its pages are first touched.
TTEntry* allocate_zeroed_table(std::uint32_t entries) {
    void* const memory = std::calloc(entries, sizeof(TTEntry));
    if (memory != nullptr) platform_advise_large_pages(memory, std::size_t{entries} * sizeof(TTEntry));
    return static_cast<TTEntry*>(memory);
}

}  // namespace

TTSize tt_allocate() {
    tt_release();
    if (tt_entries != 0) tt_table = allocate_zeroed_table(tt_entries);
    if (tt_table == nullptr) return {0, 0};
    return {tt_entries, static_cast<unsigned long long>(tt_entries) * sizeof(TTEntry)};
}

int tt_exponent_for_mib(long long mib) {
    if (mib < 1) return 0;
    const long long bytes = mib >= (1LL << 40) ? 1LL << 60 : mib << 20;
    int n = 0;
    while (n < TT_MAX_EXPONENT && (static_cast<long long>(sizeof(TTEntry)) << (n + 1)) <= bytes)
        ++n;
    return n;
}

void tt_clear() {
    if (tt_table != nullptr)
        std::memset(tt_table, 0, static_cast<std::size_t>(tt_entries) * sizeof(TTEntry));
}

void tt_new_search() {
    tt_generation = tt_generation == 255 ? 1 : static_cast<std::uint8_t>(tt_generation + 1);
}

int tt_hashfull() {
    if (tt_table == nullptr) return 0;
    const std::uint32_t sample = tt_entries < 1000 ? tt_entries : 1000;
    std::uint32_t written = 0;
    for (std::uint32_t i = 0; i < sample; ++i) written += tt_table[i].generation == tt_generation;
    return static_cast<int>(written * 1000 / sample);
}

void tt_release() {
    std::free(tt_table);
    tt_table = nullptr;
}

std::optional<int> tt_probe(std::uint32_t index, int alpha, int beta, int depth) {
    if (tt_table == nullptr) return std::nullopt;
    const TTEntry& entry = tt_table[index];
    if (entry.key != position.position_key || entry.depth < depth) return std::nullopt;
    const int s = entry.score;
    switch (entry.type) {
        case TT_EXACT:
            // Mates are stored counted from the node; count them from the root again.
            if (s >= MATE_THRESHOLD) return s - ply + 1;
            if (s <= -MATE_THRESHOLD) return s + ply - 1;
            return s;
        case TT_LOWER:
            if (s >= beta) return s;
            return std::nullopt;
        case TT_UPPER:
            if (s <= alpha) return s;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void tt_store(std::uint32_t index, int type, int score, int depth) {
    if (tt_table == nullptr) return;
    TTEntry& entry = tt_table[index];
    if (type == TT_LOWER) {
        if (score > TT_LOWER_BOUND_CAP) score = TT_LOWER_BOUND_CAP;
    } else if (type == TT_EXACT) {
        // A mate is kept as its distance from this node, one deeper.
        if (score >= MATE_THRESHOLD) {
            score += ply - 1;
            ++depth;
        } else if (score <= -MATE_THRESHOLD) {
            score -= ply - 1;
            ++depth;
        }
    }
    entry.key = position.position_key;
    entry.score = score;
    entry.depth = static_cast<std::int8_t>(depth);
    entry.type = static_cast<std::uint8_t>(type);
    entry.generation = tt_generation;
}
