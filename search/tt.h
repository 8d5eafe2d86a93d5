// The transposition table: one entry per index, selected by the low bits of
// the position key, always replaced. It lives for the whole game and is
// emptied by allocating it again or by tt_clear.
#pragma once

#include <cstdint>
#include <optional>

constexpr int TT_DEFAULT_EXPONENT = 20;
// Sizes outside 2^1 .. 2^30 entries are refused; the engine then runs without a table.
constexpr int TT_MIN_EXPONENT = 1;
constexpr int TT_MAX_EXPONENT = 30;

// Entry types.
constexpr int TT_EXACT = 0;  // the score is exact
constexpr int TT_LOWER = 1;  // the true score is at least the score (a beta cutoff)
constexpr int TT_UPPER = 2;  // the true score is at most the score (no move raised alpha)

// A lower bound is never stored above this, so a mate found by a cutoff
// comes back as a plain winning bound.
constexpr int TT_LOWER_BOUND_CAP = 5000;

// What the table remembers of a searched position. A zero entry never
// answers, since the search probes only with a depth of 1 or more.
struct TTEntry {
    std::uint32_t key;
    std::int32_t score;
    std::int8_t depth;
    std::uint8_t type;
    std::uint8_t generation;  // the search that wrote it, for tt_hashfull
};
static_assert(sizeof(TTEntry) == 12, "two words and two bytes, naturally aligned");

// The table (nullptr when there is none), its size and index mask.
extern TTEntry* tt_table;
extern std::uint32_t tt_entries;
extern std::uint32_t tt_mask;

// Releases any table and sets the size to 2^n entries; a refused exponent
// sets it to 0, so that tt_allocate leaves no table.
void tt_set_size(int n);
// What an allocation gave, for the caller's report: the table's entries and
// bytes, both 0 when there is no size or no memory.
struct TTSize {
    std::uint32_t entries;
    unsigned long long bytes;
};
// Releases any table and allocates tt_entries zero entries.
TTSize tt_allocate();
void tt_release();
// The exponent n of the largest table of 2^n entries that fits in `mib`
// mebibytes, at most TT_MAX_EXPONENT; 0 (no table) when not even 2^1 fit.
int tt_exponent_for_mib(long long mib);
// Empties the table, as a new allocation would.
void tt_clear();
// Starts a new search's generation of entries.
void tt_new_search();
// Entries written in the current generation, per thousand, from a sample of
// the first thousand entries (all of them in a smaller table).
int tt_hashfull();

// The entry that holds a position of this key.
inline std::uint32_t tt_index_of(std::uint32_t key) { return key & tt_mask; }

// The score the entry at `index` gives for the current position at `ply`
// with the window (alpha, beta) and the remaining depth, or nothing.
std::optional<int> tt_probe(std::uint32_t index, int alpha, int beta, int depth);
// Starts loading the entry of `key` into the cache, so that a probe soon after
// does not wait for memory.
inline void tt_prefetch(std::uint32_t key) {
    if (tt_table != nullptr) __builtin_prefetch(&tt_table[tt_index_of(key)]);
}
// Overwrites the entry at `index` with the current position's result.
void tt_store(std::uint32_t index, int type, int score, int depth);
