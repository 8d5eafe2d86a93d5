// The search as the engine runs it: think on a position from a cleared state,
// its output, its results, and the position it leaves behind.
#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "protocol/cecp/thinking.h"
#include "search/limits.h"
#include "search/movepick.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"
#include "tests/case_name.h"
#include "tests/position_state.h"

namespace {

Square square_named(const char* name) { return (name[0] - 'a') + 8 * ('8' - name[1]); }

// The move of the list of ply 0 from and to the named squares (a queen for a
// promotion), 0 when there is none.
Move root_move(const char* text) {
    generate_moves();
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        const Move move = move_stack[i].move;
        if (move_from(move) == square_named(text) && move_to(move) == square_named(text + 2) &&
            (move_promotion(move) == 0 || move_promotion(move) == QUEEN))
            return move;
    }
    return 0;
}

// Plays moves at the board as the front end does, entering them in the game record.
void play(const std::vector<const char*>& moves) {
    for (const char* text : moves) {
        const Move move = root_move(text);
        ASSERT_NE(move, 0u) << text;
        ASSERT_TRUE(make_move(move)) << text;
        game_history[game_ply++] = undo_stack[0];
        ply = 0;
    }
}

// A position as from a fresh start: no game record, no killers or history,
// an empty table of the default size.
void load_cleared(const char* fen) {
    static const bool keys_ready = (init_keys(), install_thinking_output(), true);
    (void)keys_ready;
    ASSERT_TRUE(load_fen(fen)) << fen;
    tt_set_size(TT_DEFAULT_EXPONENT);
    tt_allocate();
    search_clear();
}

// What the last run_think left.
const SearchResult* result = nullptr;

// Runs think on the current position and gives what it printed.
std::string run_think(int depth, int budget = NO_TIME_LIMIT, bool quiet = false) {
    ply = 0;
    generate_moves();
    reset_search_limits(depth);
    search_limits.time_budget = budget;
    search_limits.report_iterations = !quiet;
    testing::internal::CaptureStdout();
    result = &think();
    return testing::internal::GetCapturedStdout();
}

// The time column of the thinking lines is replaced by "t", so that
// transcripts compare whatever the machine's speed.
std::string without_times(const std::string& output) {
    // Index one past a run of blanks and then a number starting at `i`, or
    // npos when no number follows.
    const auto past_number = [](const std::string& line, std::size_t i) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i < line.size() && line[i] == '-') ++i;
        const std::size_t digits = i;
        while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
        return i > digits ? i : std::string::npos;
    };
    std::istringstream in(output);
    std::string line;
    std::string result;
    while (std::getline(in, line)) {
        const std::size_t depth_end = past_number(line, 0);
        const std::size_t score_end =
            depth_end == std::string::npos ? depth_end : past_number(line, depth_end);
        const std::size_t time_end =
            score_end == std::string::npos ? score_end : past_number(line, score_end);
        if (time_end != std::string::npos && line.compare(time_end, 2, "  ") == 0)
            line = line.substr(0, score_end) + " t" + line.substr(time_end);
        result += line + "\n";
    }
    return result;
}

std::string move_text(Move move) {
    if (move == 0) return "none";
    std::string text;
    text += static_cast<char>('a' + file_of(move_from(move)));
    text += static_cast<char>('8' - row_of(move_from(move)));
    text += static_cast<char>('a' + file_of(move_to(move)));
    text += static_cast<char>('8' - row_of(move_to(move)));
    if (move_promotion(move)) text += "nbrq"[move_promotion(move) - 1];
    return text;
}

std::string root_pv() {
    std::string pv;
    for (const Move move : result->pv) {
        if (!pv.empty()) pv += ' ';
        pv += move_text(move);
    }
    return pv;
}

class SearchTest : public testing::Test {
   protected:
    void TearDown() override {
        clock_settings = ClockSettings{};
        tt_set_size(TT_DEFAULT_EXPONENT);
        tt_release();
    }
};

// ---- what think prints and leaves, against hand-checked results ----

struct RootCase {
    const char* name;
    const char* fen;
    int max_depth;
    const char* transcript;  // times masked
    int score;
    int depth;
    const char* pv;
};

void PrintTo(const RootCase& c, std::ostream* os) { *os << c.name; }

const RootCase root_cases[] = {
    {"back-rank mate in 1: the aspiration window fails high, then Checkmate",
     "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 5,
     "  1    518 t          3 f2f3\n"
     "  1    523 t          7 f2f4\n"
     "  1    535 t         29 d1d7\n"
     "  1    535 t         45 d1d7\n"
     "  2    525 t         65 d1d7 g8f8\n"
     "  2   9999 t        102 d1d8\n"
     "  2   9999 t        135 d1d8\n"
     "  2  10000 t  0 Checkmate\n"
     "tellics whisper Checkmate\n",
     9999, 2, "d1d8"},
    {"rook mate in 2: announced as Mate in 1, and think returns", "k7/8/2K5/8/8/8/8/7R w - - 0 1",
     8,
     "  1    530 t          3 c6c7\n"
     "  1    540 t          7 c6d7\n"
     "  1    550 t         13 c6d6\n"
     "  1    560 t         21 c6d5\n"
     "  1    560 t         49 c6d5\n"
     "  2    540 t         59 c6d5 a8b7\n"
     "  2    550 t         98 h1h7 a8b8\n"
     "  2    550 t        200 h1h7 a8b8\n"
     "  3    570 t        249 h1h7 a8b8 c6d5\n"
     "  3    570 t       1009 h1h7 a8b8 c6d5\n"
     "  4    560 t       1119 h1h7 a8b8 c6d5 b8c8\n"
     "  4   9997 t       1200 c6c7 a8a7 h1a1\n"
     "  4   9997 t       4132 c6c7 a8a7 h1a1\n"
     "  4  10000 t  0 Mate in 1\n"
     "tellics whisper Mate in 1\n",
     9997, 4, "c6c7 a8a7 h1a1"},
    {"black checkmated: one full-window search again, then the result",
     "7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 5,
     "  1  -10000 t          2\n"
     "1-0 {White mates}\n",
     -10000, 1, ""},
    {"black checkmated at depth limit 1: no second search", "7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 1,
     "  1  -10000 t          1\n"
     "1-0 {White mates}\n",
     -10000, 1, ""},
    {"white checkmated", "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", 5,
     "  1  -10000 t          2\n"
     "0-1 {Black mates}\n",
     -10000, 1, ""},
    {"black stalemated", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 5,
     "  1      0 t          1\n"
     "1/2-1/2 {Stalemate}\n",
     0, 1, ""},
    {"one legal move, in check: one iteration, the root line at the extended depth",
     "k7/8/8/8/8/8/6q1/R6K w - - 0 1", 5,
     "  2    520 t        137 h1g2 a8b7 g2f3\n"
     "  1    520 t        137 h1g2 a8b7 g2f3\n",
     520, 1, "h1g2 a8b7 g2f3"},
    {"fifty-move rule: a won position scores 0", "8/8/8/4k3/8/8/8/3QK3 w - - 100 80", 3, nullptr, 0,
     3, nullptr},
};

class SearchRoot : public SearchTest, public testing::WithParamInterface<RootCase> {};

TEST_P(SearchRoot, OutputAndResults) {
    const RootCase& c = GetParam();
    load_cleared(c.fen);
    const std::string output = run_think(c.max_depth);
    if (c.transcript) {
        EXPECT_EQ(without_times(output), c.transcript);
    }
    EXPECT_EQ(result->last_score, c.score);
    EXPECT_EQ(result->completed_depth, c.depth);
    if (c.pv) {
        EXPECT_EQ(root_pv(), c.pv);
        if (*c.pv == '\0')
            EXPECT_EQ(result->best_move, 0u) << "no legal move";
        else
            EXPECT_EQ(result->best_move, result->pv[0]);
    }
    EXPECT_EQ(ply, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchRoot, testing::ValuesIn(root_cases), case_name<RootCase>);

TEST_F(SearchTest, QuietSuppressesOnlyTheIterationLine) {
    load_cleared("k7/8/8/8/8/8/6q1/R6K w - - 0 1");
    EXPECT_EQ(without_times(run_think(5, NO_TIME_LIMIT, true)),
              "  2    520 t        137 h1g2 a8b7 g2f3\n");
    load_cleared("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
    const std::string output = run_think(5, NO_TIME_LIMIT, true);
    EXPECT_NE(output.find("  2  10000 "), std::string::npos) << output;
    EXPECT_NE(output.find("tellics whisper Checkmate\n"), std::string::npos) << output;
    load_cleared("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(run_think(5, NO_TIME_LIMIT, true), "1/2-1/2 {Stalemate}\n");
}

TEST_F(SearchTest, DepthLimitOneSearchesTheFullWindowOnce) {
    load_cleared("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
    const std::string output = without_times(run_think(1));
    EXPECT_EQ(output,
              "  1    518 t          3 f2f3\n"
              "  1    523 t          7 f2f4\n"
              "  1    535 t         29 d1d7\n"
              "  1    535 t         45 d1d7\n");
    EXPECT_EQ(result->completed_depth, 1);
}

// A move scored 0 without a search has a line of its own: nothing of what an
// earlier search left in the next ply's row is copied behind it.
TEST_F(SearchTest, DrawScoredMoveHasALineOfItsOwn) {
    load_cleared("k7/8/8/8/3q4/5N2/8/7K w - - 0 1");
    pv_length[1] = 3;  // as a previous search may leave it
    run_think(1);
    EXPECT_EQ(result->last_score, 0);
    EXPECT_EQ(root_pv(), "f3d4");
}

// Knights shuffle twice from the same position; the first move of the
// shuffle now leads to a position that stood twice and scores 0, which saves
// white a rook down. It is the root's first move, so no re-search applies.
TEST_F(SearchTest, RepetitionScoresZero) {
    load_cleared("1n1rk3/8/8/8/8/8/8/1N5K w - - 0 1");
    play({"b1a3", "b8a6", "a3b1", "a6b8", "b1a3", "b8a6", "a3b1", "a6b8"});
    run_think(4);
    EXPECT_EQ(result->last_score, 0);
    EXPECT_EQ(root_pv(), "b1a3");

    load_cleared("1n1rk3/8/8/8/8/8/8/1N5K w - - 0 1");
    run_think(4);
    EXPECT_LT(result->last_score, -300) << "without the game record white is simply lost";
}

TEST_F(SearchTest, RepetitionCountOverTheGameRecord) {
    load_cleared("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    const std::vector<const char*> shuffle = {"g1f3", "g8f6", "f3g1", "f6g8"};
    std::vector<int> counts;
    for (int round = 0; round < 3; ++round) {
        for (const char* move : shuffle) {
            play({move});
            counts.push_back(repetition_count());
        }
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3}));

    // The position right after a pawn move is within reach of the count.
    counts.clear();
    for (const char* move : {"e2e3", "g8f6", "g1f3", "f6g8", "f3g1"}) {
        play({move});
        counts.push_back(repetition_count());
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 1, 1, 2}));
}

// ---- reproducibility: the bench signature depends on it ----

TEST_F(SearchTest, SameNodesFromAClearedState) {
    const char* fen = "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10";
    load_cleared(fen);
    run_think(5, NO_TIME_LIMIT, true);
    const long first_nodes = result->nodes;
    const Move first_move = result->best_move;
    const int first_score = result->last_score;
    const std::string first_pv = root_pv();

    // Leftovers of another search in between must not matter once cleared.
    load_cleared("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    run_think(3, NO_TIME_LIMIT, true);

    load_cleared(fen);
    run_think(5, NO_TIME_LIMIT, true);
    EXPECT_EQ(result->nodes, first_nodes);
    EXPECT_EQ(result->best_move, first_move);
    EXPECT_EQ(result->last_score, first_score);
    EXPECT_EQ(root_pv(), first_pv);
}

TEST_F(SearchTest, RunsWithoutATable) {
    load_cleared("k7/8/2K5/8/8/8/8/7R w - - 0 1");
    tt_set_size(0);
    ASSERT_EQ(tt_allocate().entries, 0u);
    run_think(8);
    EXPECT_EQ(result->last_score, 9997);
    EXPECT_EQ(root_pv(), "c6c7 a8a7 h1a1");
}

// ---- an abandoned search leaves the position as it found it ----

// The position state and, besides it, the game record and the root's list.
struct PositionSnapshot {
    PositionState position;
    int game_ply_now;
    std::vector<std::array<int, 6>> record;
    std::vector<Move> root_moves;  // as a set

    static PositionSnapshot take() {
        PositionSnapshot s;
        s.position = capture_state();
        s.game_ply_now = game_ply;
        for (int i = 0; i < game_ply; ++i) {
            const UndoRecord& r = game_history[i];
            s.record.push_back({static_cast<int>(r.move), r.captured, r.castle_rights, r.ep_square,
                                r.halfmove_clock, static_cast<int>(r.key)});
        }
        for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i)
            s.root_moves.push_back(move_stack[i].move);
        std::sort(s.root_moves.begin(), s.root_moves.end());
        return s;
    }
    bool operator==(const PositionSnapshot&) const = default;
};

struct AbandonCase {
    const char* name;
    const char* fen;
    std::vector<const char*> game;  // played before the search
};

void PrintTo(const AbandonCase& c, std::ostream* os) { *os << c.name; }

const AbandonCase abandon_cases[] = {
    {"busy middlegame, abandoned in iteration 1",
     "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
     {}},
    {"promotions on both sides, abandoned in iteration 1",
     "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
     {}},
    {"capture-promotion", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {}},
    {"symmetric middlegame",
     "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
     {}},
    {"rook endgame with en passant", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {}},
    {"game record, en passant square set",
     "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
     {"e2e4", "g8f6", "e4e5", "d7d5"}},
};

class SearchAbandonment : public SearchTest, public testing::WithParamInterface<AbandonCase> {};

// A stop requested before the search abandons it at the clock test's first
// reading, deep in the tree, on the path the deadline takes. (A budget of 0
// would do the same, but on a slow machine the search may then stop between
// two short early iterations before the clock is read at all.)
TEST_P(SearchAbandonment, LeavesThePositionAsItFoundIt) {
    const AbandonCase& c = GetParam();
    load_cleared(c.fen);
    play(c.game);
    generate_moves();
    const PositionSnapshot before = PositionSnapshot::take();

    search_limits.stop_requested = true;
    run_think(TIMED_MAX_DEPTH, NO_TIME_LIMIT, true);
    search_limits.stop_requested = false;
    EXPECT_EQ(result->nodes % CLOCK_CHECK_INTERVAL, 0) << "abandoned at a clock reading";
    EXPECT_LT(result->completed_depth, 4);

    const PositionSnapshot after = PositionSnapshot::take();
    EXPECT_TRUE(after == before);
    EXPECT_TRUE(position_is_consistent());
    const Square king = position.king_square[position.side_to_move];
    EXPECT_EQ(position.board_piece[king], KING);

    // The move to play is a legal move of the root, and the root line is not
    // the empty line that means "no legal move".
    EXPECT_NE(result->latest_root_move, 0u);
    EXPECT_NE(std::find(before.root_moves.begin(), before.root_moves.end(), result->best_move),
              before.root_moves.end())
        << move_text(result->best_move);
    ASSERT_TRUE(make_move(result->best_move));
    take_back();
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchAbandonment, testing::ValuesIn(abandon_cases),
                         case_name<AbandonCase>);

// A node limit and a stop request abandon the search through the same clock
// test as the deadline: at the first reading past the limit, or at the first
// reading at all, with a legal move to play and the position left alone.
TEST_F(SearchTest, NodeLimitAndStopRequestAbandonAtAClockReading) {
    struct StopCase {
        long limit;
        bool request;
        long nodes_at_stop;
    };
    const StopCase cases[] = {{3000, false, 3 * CLOCK_CHECK_INTERVAL},
                              {CLOCK_CHECK_INTERVAL, false, CLOCK_CHECK_INTERVAL},
                              {NO_NODE_LIMIT, true, CLOCK_CHECK_INTERVAL}};
    for (const StopCase& c : cases) {
        load_cleared("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
        generate_moves();
        const PositionSnapshot before = PositionSnapshot::take();
        ply = 0;
        generate_moves();
        reset_search_limits(TIMED_MAX_DEPTH);
        search_limits.node_limit = c.limit;
        search_limits.report_iterations = false;
        search_limits.stop_requested = c.request;
        testing::internal::CaptureStdout();
        result = &think();
        testing::internal::GetCapturedStdout();
        search_limits.stop_requested = false;
        EXPECT_EQ(result->nodes, c.nodes_at_stop) << c.limit;
        EXPECT_TRUE(PositionSnapshot::take() == before) << c.limit;
        EXPECT_NE(std::find(before.root_moves.begin(), before.root_moves.end(), result->best_move),
                  before.root_moves.end())
            << c.limit;
    }
}

// With a real budget of one second: stopped between iterations or abandoned,
// the search ends on time and leaves the position alone.
TEST_F(SearchTest, OneSecondBudgetEndsInTime) {
    load_cleared("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    generate_moves();
    const PositionSnapshot before = PositionSnapshot::take();
    const long long start = clock_ms();
    run_think(TIMED_MAX_DEPTH, 1);
    EXPECT_LT(clock_ms() - start, 1000);
    EXPECT_LT(result->completed_depth, TIMED_MAX_DEPTH);
    EXPECT_GE(result->completed_depth, 1);
    EXPECT_TRUE(PositionSnapshot::take() == before);
}

}  // namespace
