// karvosel-uci's go parameters and its time budget in milliseconds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/uci/limits.h"
#include "protocol/uci/options.h"
#include "protocol/uci/timeman.h"
#include "search/tt.h"
#include "tests/case_name.h"

namespace {

TEST(GoParameters, ReadEveryWord) {
    std::string complaints;
    const GoLimits limits = parse_go(
        "wtime 1000 btime 2000 winc 10 binc 20 movestogo 7 movetime 300 depth 5 nodes 4096",
        &complaints);
    EXPECT_EQ(complaints, "");
    EXPECT_EQ(limits.time_ms[WHITE], 1000);
    EXPECT_EQ(limits.time_ms[BLACK], 2000);
    EXPECT_EQ(limits.increment_ms[WHITE], 10);
    EXPECT_EQ(limits.increment_ms[BLACK], 20);
    EXPECT_EQ(limits.moves_to_go, 7);
    EXPECT_EQ(limits.move_time_ms, 300);
    EXPECT_EQ(limits.depth, 5);
    EXPECT_EQ(limits.nodes, 4096);
    EXPECT_FALSE(limits.infinite);
    EXPECT_FALSE(searches_until_stopped(limits));
}

TEST(GoParameters, PonderMateAndSearchMoves) {
    std::string complaints;
    const GoLimits limits =
        parse_go("ponder wtime 500 searchmoves e2e4 0000 e2e4 mate 2 binc 7", &complaints);
    EXPECT_EQ(complaints, "");
    EXPECT_TRUE(limits.ponder);
    EXPECT_EQ(limits.time_ms[WHITE], 500);
    EXPECT_EQ(limits.search_moves, (std::vector<std::string>{"e2e4", "0000", "e2e4"}));
    EXPECT_EQ(limits.mate, 2);
    EXPECT_EQ(limits.increment_ms[BLACK], 7);
}

TEST(GoParameters, FaultsAreNamedAndSkipped) {
    const struct {
        const char* words;
        const char* complaints;
        int depth;
        bool until_stopped;
    } cases[] = {
        {"", "", 0, true},
        {"infinite depth 3", "", 3, true},
        {"depth", "go depth: a number must follow\n", 0, true},
        {"depth x", "go depth: a number must follow\ngo: unknown word x\n", 0, true},
        {"depth 4x", "go depth: a number must follow\ngo: unknown word 4x\n", 0, true},
        {"depth 99999999999999999999999", "", 2147483647, false},
        {"depth -3", "", 0, true},
        {"sideways depth 2", "go: unknown word sideways\n", 2, false},
        {"searchmoves e2e4 d2d4 depth 2", "", 2, false},
        {"ponder depth 2", "", 2, true},
        {"mate 3", "", 0, false},
        {"mate 0", "go mate: a number of moves from 1 up must follow\n", 0, true},
    };
    for (const auto& c : cases) {
        std::string complaints;
        const GoLimits limits = parse_go(c.words, &complaints);
        EXPECT_EQ(complaints, c.complaints) << c.words;
        EXPECT_EQ(limits.depth, c.depth) << c.words;
        EXPECT_EQ(searches_until_stopped(limits), c.until_stopped) << c.words;
    }
}

TEST(GoParameters, NegativeClocksCountAsEmpty) {
    std::string complaints;
    const GoLimits limits = parse_go("wtime -50 btime -1", &complaints);
    EXPECT_EQ(limits.time_ms[WHITE], 0);
    EXPECT_EQ(limits.time_ms[BLACK], 0);
    EXPECT_EQ(move_budget(limits, WHITE, MOVE_OVERHEAD_DEFAULT_MS).hard_ms, 1);
}

struct BudgetCase {
    const char* name;
    const char* go;
    Side side;
    long long hard_ms;
    long long soft_ms;
};

// The share is time / 30 (or / (1.5 movestogo + 1)) + increment; the search may run to
// 2.5 shares, never past half the time, and starts no iteration after 0.6 of
// a share; the Move Overhead (10 ms here) comes off both. movetime is used
// whole but for the overhead, with no soft limit.
constexpr BudgetCase budget_cases[] = {
    {"no clock", "depth 5", WHITE, 0, 0},
    {"the side's own clock", "wtime 10050 btime 3050", BLACK, 242, 50},
    {"ten seconds and a tenth", "wtime 10000 btime 10000 winc 100 binc 100", WHITE, 1072, 249},
    {"eight seconds and 80 ms", "wtime 8000 btime 8000 winc 80 binc 80", BLACK, 855, 197},
    {"forty moves in ten seconds", "wtime 10000 btime 10000 movestogo 40", WHITE, 397, 87},
    {"last move before the control", "wtime 1050 btime 1050 movestogo 1", WHITE, 515, 305},
    {"two moves before the control", "wtime 1050 btime 1050 movestogo 2", WHITE, 515, 147},
    {"increment beyond the clock", "wtime 250 btime 250 winc 1000 binc 1000", WHITE, 115, 115},
    {"clock near the overhead", "wtime 30 btime 30 winc 20 binc 20", WHITE, 5, 2},
    {"empty clock", "wtime 0 btime 0", WHITE, 1, 1},
    {"movetime", "movetime 100", WHITE, 90, 0},
    {"short movetime", "movetime 40", WHITE, 30, 0},
    {"movetime 1", "movetime 1", WHITE, 1, 0},
    {"movetime before the clock", "wtime 100000 btime 100000 movetime 1000", WHITE, 990, 0},
};

class TimeBudget : public testing::TestWithParam<BudgetCase> {};

TEST_P(TimeBudget, InMilliseconds) {
    const BudgetCase& c = GetParam();
    std::string complaints;
    const MoveBudget budget =
        move_budget(parse_go(c.go, &complaints), c.side, MOVE_OVERHEAD_DEFAULT_MS);
    EXPECT_EQ(budget.hard_ms, c.hard_ms) << c.go;
    EXPECT_EQ(budget.soft_ms, c.soft_ms) << c.go;
    EXPECT_EQ(complaints, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeBudget, testing::ValuesIn(budget_cases), case_name<BudgetCase>);

// The overhead and the host's latency come out of every move, movetime's too.
TEST(TimeBudget, OverheadAndLatencyComeOutOfEachMove) {
    std::string complaints;
    const GoLimits sudden = parse_go("wtime 15000 btime 15000 winc 100 binc 100", &complaints);
    EXPECT_EQ(move_budget(sudden, WHITE, 0, 0).hard_ms, 1500);
    EXPECT_EQ(move_budget(sudden, WHITE, 100, 150).hard_ms, 1250);
    EXPECT_EQ(move_budget(sudden, WHITE, 100, 150).soft_ms, 110);
    EXPECT_EQ(move_budget(sudden, WHITE, 0, 1600).hard_ms, 1);
    const GoLimits fixed = parse_go("movetime 100", &complaints);
    EXPECT_EQ(move_budget(fixed, WHITE, 30, 20).hard_ms, 50);
    EXPECT_EQ(move_budget(fixed, WHITE, 5000, 0).hard_ms, 1);
}

// Samples come only from two moves of one side two plies apart; the estimate
// keeps the largest and forgets an eighth of it with each new sample.
TEST(Latency, EstimatedFromTheClocks) {
    std::string complaints;
    const auto clock = [&complaints](long long white_ms) {
        return parse_go("wtime " + std::to_string(white_ms) + " btime 5000 winc 100 binc 100",
                        &complaints);
    };
    reset_latency();
    EXPECT_EQ(observe_clock(clock(10000), WHITE, 0, 1000), 0);
    record_move_sent(1300);  // thought 300 ms
    // 10000 + 100 - 300 would leave 9800: 80 ms more went to the host.
    EXPECT_EQ(observe_clock(clock(9720), WHITE, 2, 2000), 80);
    record_move_sent(2100);
    EXPECT_EQ(observe_clock(clock(9700), WHITE, 4, 3000), 70);  // 20 seen, 80 - 10 kept
    record_move_sent(3000);
    EXPECT_EQ(observe_clock(clock(9700), WHITE, 7, 4000), 70);  // not two plies on: no sample
    record_move_sent(4000);
    EXPECT_EQ(observe_clock(clock(20000), WHITE, 9, 5000), 70);  // a new control: no sample
    record_move_sent(5000);
    EXPECT_EQ(observe_clock(clock(19000), BLACK, 11, 6000), 70);  // another side: no sample
    reset_latency();
    EXPECT_EQ(observe_clock(clock(10000), WHITE, 0, 0), 0);
    record_move_sent(0);
    EXPECT_EQ(observe_clock(clock(5000), WHITE, 2, 0), MAX_LATENCY_MS);
}

// The Hash option's MiB as table sizes: the largest power-of-two number of
// 12-byte entries that fits, the default giving the default table.
TEST(HashSize, LargestPowerOfTwoThatFits) {
    const struct {
        long long mib;
        int exponent;
    } cases[] = {{0, 0},
                 {-5, 0},
                 {1, 16},
                 {2, 17},
                 {3, 18},
                 {11, 19},
                 {12, 20},
                 {23, 20},
                 {24, 21},
                 {12288, 30},
                 {1LL << 50, TT_MAX_EXPONENT}};
    for (const auto& c : cases) EXPECT_EQ(tt_exponent_for_mib(c.mib), c.exponent) << c.mib;
    EXPECT_EQ(tt_exponent_for_mib(12), TT_DEFAULT_EXPONENT);
}

}  // namespace
