// The fast paths against their plain versions over random playouts and whole
// perft trees: the set-based generator against the square scan (same moves,
// same order, same scores), make_move's legality shortcut against the full
// attack scan after every move, the key worked out before a move against the
// key make_move leaves, and the evaluation with its pawn cache against the
// board scan that works the pawns out afresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "eval/eval.h"
#include "eval/pawns.h"
#include "tests/perft_table.h"

namespace {

// The positions of the perft table, then a rook pinned along a file and an
// en-passant capture of a pawn that gives check.
std::vector<std::string> starts() {
    std::vector<std::string> fens;
    for (const PerftPosition& position : read_perft_table()) fens.push_back(position.fen);
    for (const char* fen :
         {"4k3/8/8/3q4/8/8/3R4/3K4 w - - 0 1", "8/8/8/2k5/3Pp3/8/8/4K2R b K d3 0 1"})
        fens.emplace_back(fen);
    return fens;
}

std::vector<ScoredMove> list_of(void (*generate)()) {
    generate();
    return {move_stack + ply_move_start[ply], move_stack + ply_move_end[ply]};
}

// Both generators, with killers and history in play, the legality of every
// move by both tests, and both evaluations; returns the legal moves.
std::vector<Move> compare_here(std::mt19937& random) {
    const int windows[][2] = {{-MATE_SCORE, MATE_SCORE}, {-50, 50}, {300, 301}, {-400, -399}};
    for (const auto& window : windows) {
        // file tables left by some other position, as the search leaves them
        std::fill(&file_pawn_count[0][0], &file_pawn_count[0][0] + 20,
                  static_cast<std::int8_t>(random() % 3));
        std::fill(&rear_pawn_row[0][0], &rear_pawn_row[0][0] + 20,
                  static_cast<std::int8_t>(random() % 8));
        const int fast = evaluate(window[0], window[1]);
        EXPECT_EQ(fast, evaluate_by_scan(window[0], window[1]))
            << "window " << window[0] << " " << window[1];
    }
    std::vector<Move> legal;
    using Generator = void (*)();
    const std::pair<Generator, Generator> generators[] = {
        {generate_moves, generate_moves_by_scan}, {generate_captures, generate_captures_by_scan}};
    for (auto [fast, plain] : generators) {
        const std::vector<ScoredMove> expected = list_of(plain);
        ordering.killer_move[ply] =
            expected.empty() ? 0 : expected[random() % expected.size()].move;
        for (const ScoredMove& entry : expected)
            ordering.history_score[move_from(entry.move)][move_to(entry.move)] =
                static_cast<int>(random() % 50);
        const std::vector<ScoredMove> want = list_of(plain);
        const std::vector<ScoredMove> got = list_of(fast);
        EXPECT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size() && i < got.size(); ++i) {
            EXPECT_EQ(got[i].move, want[i].move) << "entry " << i;
            EXPECT_EQ(got[i].score, want[i].score) << "entry " << i;
        }
        for (const ScoredMove& entry : got) {
            const bool by_scan = make_move_full_test(entry.move);
            if (by_scan) take_back();
            const std::uint32_t predicted_key = key_after(entry.move);
            const bool by_shortcut = make_move(entry.move);
            if (by_shortcut) {
                // the search fetches the child's table entry by this key before the move is made
                EXPECT_EQ(predicted_key, position.position_key) << "move " << entry.move;
                take_back();
            }
            EXPECT_EQ(by_shortcut, by_scan) << "move " << entry.move;
            if (by_shortcut && fast == generate_moves) legal.push_back(entry.move);
        }
        if (::testing::Test::HasFailure()) return {};
    }
    list_of(generate_moves);
    return legal;
}

class FastPaths : public ::testing::Test {
   protected:
    void SetUp() override {
        init_keys();
        ordering = OrderingTables{};
    }
    void TearDown() override { ordering = OrderingTables{}; }
};

TEST_F(FastPaths, RandomPlayoutsAgreeWithThePlainVersions) {
    std::mt19937 random(20261210);
    for (const std::string& start : starts()) {
        SCOPED_TRACE(start);
        for (int game = 0; game < 30; ++game) {
            ASSERT_TRUE(load_fen(start.c_str()));
            for (int move_number = 0; move_number < MAX_PLY - 2; ++move_number) {
                const std::vector<Move> legal = compare_here(random);
                if (::testing::Test::HasFailure()) return;
                if (legal.empty()) break;
                ASSERT_TRUE(make_move(legal[random() % legal.size()]));
            }
        }
    }
}

void walk(int depth, std::mt19937& random) {
    const std::vector<Move> legal = compare_here(random);
    if (depth == 0 || ::testing::Test::HasFailure()) return;
    for (Move move : legal) {
        ASSERT_TRUE(make_move(move));
        walk(depth - 1, random);
        take_back();
        if (::testing::Test::HasFailure()) return;
    }
}

TEST_F(FastPaths, WholeTreesAgreeWithThePlainVersions) {
    std::mt19937 random(7);
    for (const std::string& start : starts()) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(load_fen(start.c_str()));
        walk(2, random);
    }
}

}  // namespace
