// The FEN reader for positions from outside: what it takes, what it refuses,
// and that a refusal leaves the position and the game record untouched.
#include "board/fen.h"

#include <gtest/gtest.h>

#include "board/keys.h"
#include "board/position.h"
#include "tests/case_name.h"
#include "tests/position_state.h"

namespace {

struct FenCase {
    const char* name;
    const char* fen;
    SetupResult result;
};

constexpr FenCase fen_cases[] = {
    {"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", SetupResult::PLAYABLE},
    {"no counters", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", SetupResult::PLAYABLE},
    {"extra blanks", "  4k3/8/8/8/8/8/8/4K3   b   -   -   7   40  ", SetupResult::PLAYABLE},
    {"en passant", "4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1", SetupResult::PLAYABLE},
    {"side w or b only", "4k3/8/8/8/8/8/8/4K3 W - - 0 1", SetupResult::MALFORMED},
    {"seven ranks", "4k3/8/8/8/8/8/4K3 w - - 0 1", SetupResult::MALFORMED},
    {"nine ranks", "4k3/8/8/8/8/8/8/8/4K3 w - - 0 1", SetupResult::MALFORMED},
    {"rank of nine", "4k4/8/8/8/8/8/8/4K3 w - - 0 1", SetupResult::MALFORMED},
    {"rank of seven", "4k2/8/8/8/8/8/8/4K3 w - - 0 1", SetupResult::MALFORMED},
    {"two digits", "4k3/8/8/8/8/8/8/4K21 w - - 0 1", SetupResult::MALFORMED},
    {"unknown piece", "4k3/8/8/8/8/8/8/4K2X w - - 0 1", SetupResult::MALFORMED},
    {"empty rank", "4k3//8/8/8/8/8/8/4K3 w - - 0 1", SetupResult::MALFORMED},
    {"trailing slash", "4k3/8/8/8/8/8/8/4K3/ w - - 0 1", SetupResult::MALFORMED},
    {"castling twice", "r3k2r/8/8/8/8/8/8/R3K2R w KKkq - 0 1", SetupResult::MALFORMED},
    {"castling letter", "r3k2r/8/8/8/8/8/8/R3K2R w KQx - 0 1", SetupResult::MALFORMED},
    {"no castling field", "4k3/8/8/8/8/8/8/4K3 w", SetupResult::MALFORMED},
    {"en passant off board", "4k3/8/8/8/8/8/8/4K3 w - i6 0 1", SetupResult::MALFORMED},
    {"counter not a number", "4k3/8/8/8/8/8/8/4K3 w - - x 1", SetupResult::MALFORMED},
    {"counter too long", "4k3/8/8/8/8/8/8/4K3 w - - 0 1234567", SetupResult::MALFORMED},
    {"seventh field", "4k3/8/8/8/8/8/8/4K3 w - - 0 1 moves", SetupResult::MALFORMED},
    {"empty", "", SetupResult::MALFORMED},
    {"no white king", "4k3/8/8/8/8/8/8/8 w - - 0 1", SetupResult::UNREPRESENTABLE},
    {"two black kings", "3kk3/8/8/8/8/8/8/4K3 w - - 0 1", SetupResult::UNREPRESENTABLE},
    {"nine pawns", "4k3/pppppppp/p7/8/8/8/8/4K3 w - - 0 1", SetupResult::UNREPRESENTABLE},
    {"pawn on the last rank", "P3k3/8/8/8/8/8/8/4K3 w - - 0 1", SetupResult::UNREPRESENTABLE},
    {"pawn on the first rank", "4k3/8/8/8/8/8/8/p3K3 b - - 0 1", SetupResult::UNREPRESENTABLE},
    {"side not to move in check", "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",
     SetupResult::SIDE_NOT_TO_MOVE_IN_CHECK},
    {"side to move in check", "4k3/8/8/8/8/8/8/4R1K1 b - - 0 1", SetupResult::PLAYABLE},
};

class FenReading : public testing::TestWithParam<FenCase> {
   protected:
    static void SetUpTestSuite() { init_keys(); }
};

// A refused FEN leaves everything as it was: the board, its bookkeeping, the
// key and the game record.
TEST_P(FenReading, TakesOrRefusesWhole) {
    const FenCase& c = GetParam();
    ASSERT_TRUE(load_fen("r3k2r/pppq1ppp/8/3pP3/8/8/PPP2PPP/R3K2R w KQkq d6 3 12"));
    game_ply = 5;
    const PositionState before = capture_state();
    EXPECT_EQ(read_fen(c.fen), c.result);
    if (c.result == SetupResult::PLAYABLE) {
        EXPECT_TRUE(position_is_consistent());
        EXPECT_EQ(game_ply, 0);
        const std::uint32_t key = position.position_key;
        compute_position_key();
        EXPECT_EQ(position.position_key, key);
    } else {
        EXPECT_EQ(state_difference(before, capture_state()), "");
        EXPECT_TRUE(position_is_consistent()) << "square sets or check state of the refused text";
        EXPECT_EQ(game_ply, 5);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FenReading, testing::ValuesIn(fen_cases), case_name<FenCase>);

// Rights and en-passant squares that the board contradicts are dropped.
TEST(FenReading, DropsWhatTheBoardContradicts) {
    init_keys();
    const struct {
        const char* fen;
        int rights;
        Square ep;
    } cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 15, NO_SQUARE},
        {"r3k3/8/8/8/8/8/8/4K2R w KQkq - 0 1", CASTLE_WHITE_KINGSIDE | CASTLE_BLACK_QUEENSIDE,
         NO_SQUARE},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", 0, 19},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - e6 0 1", 0, NO_SQUARE},    // no pawn passed e6
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d3 0 1", 0, NO_SQUARE},    // the mover's own rank
        {"4k3/3p4/8/3pP3/8/8/8/4K3 w - d6 0 1", 0, NO_SQUARE},  // its start square is held
    };
    for (const auto& c : cases) {
        ASSERT_EQ(read_fen(c.fen), SetupResult::PLAYABLE) << c.fen;
        EXPECT_EQ(position.castle_rights, c.rights) << c.fen;
        EXPECT_EQ(position.ep_square, c.ep) << c.fen;
    }
}

// The tools and tests may set up a position whose side not to move is in
// check; the front ends may not.
TEST(FenReading, LoadFenTakesTheSideNotToMoveInCheck) {
    init_keys();
    EXPECT_TRUE(load_fen("4k3/8/8/8/8/8/8/4R1K1 w - - 0 1"));
    EXPECT_EQ(position.side_to_move, WHITE);
}

}  // namespace
