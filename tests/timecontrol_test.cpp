// The per-move budget computed from the clock settings, and the clock itself.
#include "search/timecontrol.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <ostream>
#include <string>

#include "board/position.h"
#include "tests/case_name.h"

namespace {

// The settings before compute_time_budget, and what it leaves.
struct BudgetCase {
    const char* name;
    int max_depth;
    bool clock_mode;
    int level_base;
    int level_increment;
    long long engine_time_ms;
    int game_ply;
    int time_budget;  // before
    int expected_budget;
    int expected_depth;
    long long expected_engine_time_ms;
};

void PrintTo(const BudgetCase& c, std::ostream* os) { *os << c.name; }

const BudgetCase budget_cases[] = {
    {"st 5 stands", 31, false, 0, 0, 300000, 0, 5, 5, 31, 300000},
    {"sd 7 stands", 7, false, 0, 0, 300000, 0, NO_TIME_LIMIT, NO_TIME_LIMIT, 7, 300000},
    {"level after the switch to depth 5", 5, true, 5, 0, 300000, 0, NO_TIME_LIMIT, NO_TIME_LIMIT, 5,
     300000},
    {"level 40 5 0, 300 s, first move", 31, true, 5, 0, 300000, 0, NO_TIME_LIMIT, 14, 31, 299975},
    {"level 40 5 0, 300 s, black's first move", 31, true, 5, 0, 300000, 1, NO_TIME_LIMIT, 14, 31,
     299975},
    {"9 moves played: target 20", 31, true, 0, 0, 300000, 19, NO_TIME_LIMIT, 27, 31, 300000},
    {"10 moves played: target 40", 31, true, 0, 0, 300000, 20, NO_TIME_LIMIT, 10, 31, 300000},
    {"20 moves played: target 60", 31, true, 0, 0, 300000, 40, NO_TIME_LIMIT, 7, 31, 300000},
    {"40 moves played: target 80", 31, true, 0, 0, 300000, 80, NO_TIME_LIMIT, 7, 31, 300000},
    {"60 moves played: target 120", 31, true, 0, 0, 300000, 120, NO_TIME_LIMIT, 5, 31, 300000},
    {"100 moves played: target 150", 31, true, 0, 0, 300000, 200, NO_TIME_LIMIT, 6, 31, 300000},
    {"149 moves played: one move left", 31, true, 5, 0, 300000, 298, NO_TIME_LIMIT, 299, 31,
     299975},
    {"150 moves played: none left", 31, true, 5, 0, 300000, 300, NO_TIME_LIMIT, 1, 31, 300000},
    {"under a second per move rounds up to 1", 31, true, 0, 0, 10001, 0, NO_TIME_LIMIT, 1, 31,
     10001},
    {"10 s left: depth 5, no limit", 31, true, 5, 0, 10000, 0, 1, NO_TIME_LIMIT, 5, 10000},
    {"the reserve takes it to 10 s", 31, true, 5, 0, 10020, 0, 1, NO_TIME_LIMIT, 5, 9995},
    {"no moves left and low time", 31, true, 0, 0, 9000, 300, 1, NO_TIME_LIMIT, 5, 9000},
    {"level 0 2 12, over 19 s", 31, true, 2, 12, 19001, 0, NO_TIME_LIMIT, 14, 31, 19001},
    {"level 0 2 12, 19 s", 31, true, 2, 12, 19000, 0, NO_TIME_LIMIT, 12, 31, 19000},
    {"level 0 2 12, no switch to depth 5", 31, true, 2, 12, 3000, 0, NO_TIME_LIMIT, 12, 31, 3000},
    {"huge clock from the interface", 31, true, 0, 0, LLONG_MAX / 2, 0, NO_TIME_LIMIT, INT_MAX, 31,
     LLONG_MAX / 2},
    {"huge incremental control", 31, true, INT_MAX, INT_MAX, LLONG_MAX / 2, 0, NO_TIME_LIMIT,
     INT_MAX, 31, LLONG_MAX / 2},
    {"huge base outweighs the clock", 31, true, INT_MAX, 0, 20000, 0, NO_TIME_LIMIT, NO_TIME_LIMIT,
     5, 20000 - 5LL * INT_MAX},
};

class TimeControl : public testing::TestWithParam<BudgetCase> {
   protected:
    void TearDown() override {
        clock_settings = ClockSettings{};
        game_ply = 0;
    }
};

TEST_P(TimeControl, Budget) {
    const BudgetCase& c = GetParam();
    clock_settings = ClockSettings{};
    clock_settings.max_depth = c.max_depth;
    clock_settings.clock_mode = c.clock_mode;
    clock_settings.level_base = c.level_base;
    clock_settings.level_increment = c.level_increment;
    clock_settings.engine_time_ms = c.engine_time_ms;
    game_ply = c.game_ply;
    clock_settings.time_budget = c.time_budget;
    compute_time_budget();
    EXPECT_EQ(clock_settings.time_budget, c.expected_budget) << c.name;
    EXPECT_EQ(clock_settings.max_depth, c.expected_depth) << c.name;
    EXPECT_EQ(clock_settings.engine_time_ms, c.expected_engine_time_ms) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeControl, testing::ValuesIn(budget_cases),
                         case_name<BudgetCase>);

TEST(TimeControlState, StartValues) {
    clock_settings.max_depth = 9;
    clock_settings.time_budget = 4;
    clock_settings.clock_mode = true;
    clock_settings.engine_time_ms = clock_settings.opponent_time_ms = 7;
    clock_settings.level_moves = clock_settings.level_base = clock_settings.level_increment = 7;
    clock_settings = ClockSettings{};
    EXPECT_EQ(clock_settings.max_depth, 3);
    EXPECT_EQ(clock_settings.time_budget, NO_TIME_LIMIT);
    EXPECT_FALSE(clock_settings.clock_mode);
    EXPECT_EQ(clock_settings.engine_time_ms, 0);
    EXPECT_EQ(clock_settings.opponent_time_ms, 0);
    EXPECT_EQ(
        clock_settings.level_moves + clock_settings.level_base + clock_settings.level_increment, 0);
}

TEST(TimeControlState, DepthFiveStaysForLaterMoves) {
    clock_settings = ClockSettings{};
    clock_settings.max_depth = TIMED_MAX_DEPTH;
    clock_settings.clock_mode = true;
    clock_settings.level_base = 5;
    clock_settings.engine_time_ms = 8000;
    compute_time_budget();
    ASSERT_EQ(clock_settings.max_depth, LOW_TIME_DEPTH);
    ASSERT_EQ(clock_settings.time_budget, NO_TIME_LIMIT);

    clock_settings.engine_time_ms = 600000;  // plenty of time again, but no level or st came
    game_ply = 10;
    compute_time_budget();
    EXPECT_EQ(clock_settings.max_depth, LOW_TIME_DEPTH);
    EXPECT_EQ(clock_settings.time_budget, NO_TIME_LIMIT);
    EXPECT_EQ(clock_settings.engine_time_ms, 600000);
    clock_settings = ClockSettings{};
    game_ply = 0;
}

TEST(TimeControlState, ClockIsMonotonicMilliseconds) {
    const long long first = clock_ms();
    long long last = first;
    while (last - first < 20) {
        const long long now = clock_ms();
        ASSERT_GE(now, last);
        last = now;
    }
    EXPECT_LT(last - first, 1000);
}

}  // namespace
