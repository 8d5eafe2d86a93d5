// The transposition table's probe and store rules, its mate-distance form,
// the allocation report, and a table that could not be made.
#include "search/tt.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "board/position.h"
#include "protocol/cecp/loop.h"
#include "tests/case_name.h"

namespace {

constexpr std::uint32_t KEY = 0x9e3779b9u;

// Allocates a table of 2^n entries; gives the xboard program's report of it.
std::string allocate_with_exponent(int n) {
    tt_set_size(n);
    testing::internal::CaptureStdout();
    allocate_table();
    return testing::internal::GetCapturedStdout();
}

// The entry of KEY in the table of the size now set.
std::uint32_t key_index() { return tt_index_of(KEY); }

// Stores at `store_ply` for the position with `key`, then probes at `probe_ply`.
struct ProbeCase {
    const char* name;
    int type;
    int score;
    int depth;
    int store_ply;
    int probe_ply;
    int alpha;
    int beta;
    int probe_depth;
    std::optional<int> expected;
};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

const ProbeCase probe_cases[] = {
    // A mate at ply 5 found at the root is kept as 9994 one ply deeper...
    {"exact mate from the root, probed at ply 3", TT_EXACT, 9995, 4, 0, 3, -10000, 10000, 5, 9992},
    {"exact mate, probe deeper than depth + 1", TT_EXACT, 9995, 4, 0, 3, -10000, 10000, 6, {}},
    {"exact mate against, probed at ply 3", TT_EXACT, -9995, 4, 0, 3, -10000, 10000, 5, -9992},
    {"exact mate, same ply round trip", TT_EXACT, 9990, 2, 4, 4, -10000, 10000, 3, 9990},
    {"exact mate against, same ply round trip", TT_EXACT, -9990, 2, 4, 4, -10000, 10000, 3, -9990},
    {"exact mate at the threshold is adjusted", TT_EXACT, 9000, 1, 2, 5, -10000, 10000, 1, 8997},
    {"exact just below the threshold is not", TT_EXACT, 8999, 1, 2, 5, -10000, 10000, 2, {}},
    {"exact plain, equal depth answers", TT_EXACT, 37, 3, 2, 6, -10000, 10000, 3, 37},
    {"exact plain, shallower probe answers", TT_EXACT, 37, 3, 2, 6, -10000, 10000, 1, 37},
    {"exact plain, deeper probe gives nothing", TT_EXACT, 37, 3, 2, 6, -10000, 10000, 4, {}},
    {"exact ignores the window", TT_EXACT, 37, 3, 2, 2, 100, 200, 3, 37},
    // ...while a mate found by a cutoff becomes the bound 5000.
    {"lower mate stored as 5000, beta 5000", TT_LOWER, 9997, 3, 1, 1, 4000, 5000, 3, 5000},
    {"lower mate stored as 5000, beta 5001", TT_LOWER, 9997, 3, 1, 1, 4000, 5001, 3, {}},
    {"lower at beta answers", TT_LOWER, 120, 2, 1, 1, 50, 120, 2, 120},
    {"lower below beta gives nothing", TT_LOWER, 120, 2, 1, 1, 50, 121, 2, {}},
    {"lower is not adjusted by ply", TT_LOWER, 300, 2, 5, 1, 0, 100, 2, 300},
    {"lower deeper probe gives nothing", TT_LOWER, 120, 2, 1, 1, 50, 100, 3, {}},
    {"upper at alpha answers", TT_UPPER, -40, 2, 1, 1, -40, 100, 2, -40},
    {"upper above alpha gives nothing", TT_UPPER, -40, 2, 1, 1, -41, 100, 2, {}},
    {"upper mate is neither adjusted nor deepened", TT_UPPER, -9500, 2, 3, 1, -9000, 0, 2, -9500},
    {"upper mate keeps its depth", TT_UPPER, -9500, 2, 3, 1, -9000, 0, 3, {}},
};

class TTProbe : public testing::TestWithParam<ProbeCase> {
   protected:
    static void SetUpTestSuite() { allocate_with_exponent(10); }
    static void TearDownTestSuite() { tt_release(); }
    void TearDown() override { ply = 0; }
};

TEST_P(TTProbe, AnswersByTheRules) {
    const ProbeCase& c = GetParam();
    position.position_key = KEY;
    ply = c.store_ply;
    tt_store(key_index(), c.type, c.score, c.depth);
    ply = c.probe_ply;
    EXPECT_EQ(tt_probe(key_index(), c.alpha, c.beta, c.probe_depth), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, TTProbe, testing::ValuesIn(probe_cases), case_name<ProbeCase>);

class TTTable : public testing::Test {
   protected:
    void TearDown() override {
        tt_release();
        ply = 0;
    }
};

TEST_F(TTTable, StoredFormOfTheWorkedExamples) {
    allocate_with_exponent(10);
    position.position_key = KEY;
    ply = 0;
    tt_store(key_index(), TT_EXACT, 9995, 4);
    EXPECT_EQ(tt_table[key_index()].key, KEY);
    EXPECT_EQ(tt_table[key_index()].score, 9994);
    EXPECT_EQ(tt_table[key_index()].depth, 5);
    EXPECT_EQ(tt_table[key_index()].type, TT_EXACT);

    tt_store(key_index(), TT_LOWER, 9997, 3);
    EXPECT_EQ(tt_table[key_index()].score, 5000);
    EXPECT_EQ(tt_table[key_index()].depth, 3);
    EXPECT_EQ(tt_table[key_index()].type, TT_LOWER);
}

TEST_F(TTTable, SharedIndexDifferentKeyNeverAnswers) {
    allocate_with_exponent(10);
    const std::uint32_t other = KEY + tt_entries;  // same low bits
    ASSERT_EQ(other & tt_mask, KEY & tt_mask);

    position.position_key = KEY;
    tt_store(key_index(), TT_EXACT, 55, 4);
    position.position_key = other;
    EXPECT_EQ(tt_probe(key_index(), -10000, 10000, 1), std::nullopt);

    tt_store(key_index(), TT_EXACT, -20, 4);
    EXPECT_EQ(tt_probe(key_index(), -10000, 10000, 1), -20);
    position.position_key = KEY;
    EXPECT_EQ(tt_probe(key_index(), -10000, 10000, 1), std::nullopt)
        << "the other position overwrote the entry";
}

TEST_F(TTTable, FreshEntryNeverAnswersASearchProbe) {
    allocate_with_exponent(10);
    position.position_key = 0;
    EXPECT_EQ(tt_probe(0, -10000, 10000, 1), std::nullopt);
}

TEST_F(TTTable, ReportAtDefaultAndSmallSizes) {
    EXPECT_EQ(allocate_with_exponent(TT_DEFAULT_EXPONENT),
              "Transpositional table:\nEntries = 1024K\nSize    = 12288K\n\n");
    EXPECT_EQ(tt_entries, 1u << 20);
    EXPECT_EQ(tt_mask, (1u << 20) - 1);
    EXPECT_EQ(allocate_with_exponent(10),
              "Transpositional table:\nEntries = 1K\nSize    = 12K\n\n");
    EXPECT_EQ(allocate_with_exponent(1), "Transpositional table:\nEntries = 0K\nSize    = 0K\n\n");
}

TEST_F(TTTable, AllocatingAgainEmptiesTheTable) {
    allocate_with_exponent(10);
    position.position_key = KEY;
    tt_store(key_index(), TT_EXACT, 10, 3);
    ASSERT_EQ(tt_probe(key_index(), -10000, 10000, 3), 10);
    tt_allocate();
    EXPECT_EQ(tt_probe(key_index(), -10000, 10000, 1), std::nullopt);
}

TEST_F(TTTable, RefusedSizesLeaveNoTableAndSafeNoOps) {
    for (const int n : {0, -3, TT_MAX_EXPONENT + 1, 64}) {
        EXPECT_EQ(allocate_with_exponent(n), "Not enough memory for transposition table\n") << n;
        EXPECT_EQ(tt_table, nullptr) << n;
        position.position_key = KEY;
        tt_store(key_index(), TT_EXACT, 10, 3);
        EXPECT_EQ(tt_probe(key_index(), -10000, 10000, 1), std::nullopt) << n;
    }
}

}  // namespace
