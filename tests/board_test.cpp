// The board: perft counts, make/take-back round trips, generation order and
// ordering scores, keys, and the legality and bookkeeping of make_move.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board/attack.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "board/position.h"
#include "tests/perft_table.h"
#include "tests/position_state.h"

namespace {

constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

std::string move_text(Move move) {
    std::string text = square_name(move_from(move)) + square_name(move_to(move));
    if (move_flags(move) & MOVE_PROMOTE) text += "?nbrq"[move_promotion(move)];
    return text;
}

// The first move of the current ply's list written as `text`; 0 if none.
Move find_move(const std::string& text) {
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i)
        if (move_text(move_stack[i].move) == text ||
            (text.size() == 4 && move_text(move_stack[i].move).substr(0, 4) == text &&
             move_promotion(move_stack[i].move) == 0))
            return move_stack[i].move;
    return 0;
}

// The key tables are filled once per test program.
void ensure_keys() {
    static const bool drawn = (init_keys(), true);
    (void)drawn;
}

void load(const char* fen) {
    ensure_keys();
    ASSERT_TRUE(load_fen(fen)) << fen;
}

std::vector<ScoredMove> current_list() {
    return {move_stack + ply_move_start[ply], move_stack + ply_move_end[ply]};
}

bool pawn_listed(Side side, Square s) {
    return std::count(position.pawn_squares[side], position.pawn_squares[side] + 8, s) == 1;
}

class BoardFixture : public ::testing::Test {
   protected:
    void SetUp() override {
        ensure_keys();
        ordering = OrderingTables{};
    }
};

// ---- Perft ----

using BoardPerft = BoardFixture;

// Every count of the perft table (tests/perft-table.txt).
TEST_F(BoardPerft, PublishedLeafCounts) {
    const std::vector<PerftPosition> table = read_perft_table();
    ASSERT_FALSE(table.empty());
    for (const PerftPosition& c : table) {
        for (int depth = 1; depth <= static_cast<int>(c.nodes.size()); ++depth) {
            load(c.fen.c_str());
            EXPECT_EQ(perft(depth), c.nodes[depth - 1])
                << c.name << " (" << c.fen << ") at depth " << depth;
            EXPECT_EQ(ply, 0) << c.name;
        }
    }
}

// ---- Make and take back over whole trees ----

using BoardTakeBack = BoardFixture;

// Visits every node below the current position to `depth`, trying every
// generated move, and checks what each make_move and take_back leaves.
void walk(int depth, long long& nodes) {
    ++nodes;
    ASSERT_TRUE(position_is_consistent()) << "at node " << nodes;
    if (depth == 0) return;
    generate_moves();
    const PositionState before = capture_state();
    const std::vector<ScoredMove> list = current_list();
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        const Move move = move_stack[i].move;
        const std::string text = move_text(move);
        if (make_move(move)) {
            ASSERT_EQ(ply, before.ply_now + 1) << text;
            ASSERT_EQ(position.side_to_move, before.position.side_to_move ^ 1) << text;
            const std::uint32_t stored = undo_stack[ply - 1].key;
            ASSERT_EQ(stored, position.position_key) << text;
            compute_position_key();
            ASSERT_EQ(position.position_key, stored)
                << text << ": key differs from a fresh computation";
            ASSERT_FALSE(in_check(position.side_to_move ^ 1)) << text << " left the mover in check";
            walk(depth - 1, nodes);
            if (::testing::Test::HasFatalFailure()) return;
            take_back();
        }
        const std::string difference = state_difference(before, capture_state());
        ASSERT_TRUE(difference.empty()) << "after " << text << ":" << difference;
        ASSERT_TRUE(std::equal(list.begin(), list.end(), move_stack + ply_move_start[ply],
                               [](const ScoredMove& a, const ScoredMove& b) {
                                   return a.move == b.move && a.score == b.score;
                               }))
            << "the list changed while " << text << " was tried";
    }
}

TEST_F(BoardTakeBack, RestoresTheWholeStateAtEveryNode) {
    // The positions of the perft table, and en passant available at the
    // root, for both colours in turn.
    std::vector<std::string> fens;
    for (const PerftPosition& position : read_perft_table()) fens.push_back(position.fen);
    for (const char* fen : {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
                            "rnbqkbnr/pp1ppppp/8/8/2pPP3/8/PPP2PPP/RNBQKBNR b KQkq d3 0 3"})
        fens.emplace_back(fen);
    for (const std::string& fen : fens) {
        SCOPED_TRACE(fen);
        load(fen.c_str());
        long long nodes = 0;
        walk(3, nodes);
        if (HasFatalFailure()) return;
        EXPECT_GT(nodes, 100);
    }
}

// ---- Generation order, flags and scores ----

struct Expected {
    const char* text;
    int flags;
    int score;
};

void expect_list(const std::vector<Expected>& expected) {
    const std::vector<ScoredMove> list = current_list();
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(move_text(list[i].move), expected[i].text) << "entry " << i;
        EXPECT_EQ(move_flags(list[i].move), expected[i].flags) << "entry " << i;
        EXPECT_EQ(list[i].score, expected[i].score) << "entry " << i << " " << expected[i].text;
    }
}

using BoardMoveGen = BoardFixture;

TEST_F(BoardMoveGen, StartPositionInGenerationOrder) {
    load(START_FEN);
    generate_moves();
    // Castling comes from the rights alone; its destination holds a piece, so
    // it is scored as a capture of that piece by the king.
    expect_list({
        {"a2a3", 16, 0},      {"a2a4", 24, 0},      {"b2b3", 16, 0}, {"b2b4", 24, 0},
        {"c2c3", 16, 0},      {"c2c4", 24, 0},      {"d2d3", 16, 0}, {"d2d4", 24, 0},
        {"e2e3", 16, 0},      {"e2e4", 24, 0},      {"f2f3", 16, 0}, {"f2f4", 24, 0},
        {"g2g3", 16, 0},      {"g2g4", 24, 0},      {"h2h3", 16, 0}, {"h2h4", 24, 0},
        {"b1a3", 0, 0},       {"b1c3", 0, 0},       {"g1f3", 0, 0},  {"g1h3", 0, 0},
        {"e1g1", 2, 1000003}, {"e1c1", 2, 1000011},
    });
    EXPECT_EQ(find_move("e2e4"), 402662452u);
    EXPECT_EQ(encode_move(52, 36, 0, 24), 402662452u);

    // Every one of the 20 ordinary moves is legal; the castlings are refused.
    int legal = 0;
    for (const ScoredMove& entry : current_list()) {
        const bool castling = move_flags(entry.move) & MOVE_CASTLE;
        const bool made = make_move(entry.move);
        EXPECT_NE(made, castling) << move_text(entry.move);
        if (made) {
            ++legal;
            take_back();
        }
    }
    EXPECT_EQ(legal, 20);
    EXPECT_EQ(ply, 0);

    generate_captures();
    EXPECT_EQ(ply_move_end[0], ply_move_start[0]);
    EXPECT_EQ(ply_move_start[1], ply_move_start[0]);
}

struct PromotionCase {
    const char* fen;
    std::vector<Expected> moves;     // generate_moves
    std::vector<Expected> captures;  // generate_captures
};

TEST_F(BoardMoveGen, PromotionsByStepAndCaptureScoredByTheNewPiece) {
    // clang-format off
    const std::vector<Expected> white_promotions = {
        {"b7a8n", 49, 1000008}, {"b7a8b", 49, 1000016}, {"b7a8r", 49, 1000024}, {"b7a8q", 49, 1000032},
        {"b7c8n", 49, 1000008}, {"b7c8b", 49, 1000016}, {"b7c8r", 49, 1000024}, {"b7c8q", 49, 1000032},
        {"b7b8n", 48, 1000008}, {"b7b8b", 48, 1000016}, {"b7b8r", 48, 1000024}, {"b7b8q", 48, 1000032},
    };
    const std::vector<Expected> black_promotions = {
        {"b2a1n", 49, 1000008}, {"b2a1b", 49, 1000016}, {"b2a1r", 49, 1000024}, {"b2a1q", 49, 1000032},
        {"b2c1n", 49, 1000008}, {"b2c1b", 49, 1000016}, {"b2c1r", 49, 1000024}, {"b2c1q", 49, 1000032},
        {"b2b1n", 48, 1000008}, {"b2b1b", 48, 1000016}, {"b2b1r", 48, 1000024}, {"b2b1q", 48, 1000032},
    };
    // clang-format on
    std::vector<Expected> white_moves = white_promotions;
    for (const char* king : {"e1d2", "e1e2", "e1f2", "e1d1", "e1f1"})
        white_moves.push_back({king, 0, 0});
    std::vector<Expected> black_moves;
    for (const char* king : {"e8d8", "e8f8", "e8d7", "e8e7", "e8f7"})
        black_moves.push_back({king, 0, 0});
    black_moves.insert(black_moves.end(), black_promotions.begin(), black_promotions.end());

    const PromotionCase cases[] = {
        {"r1n1k3/1P6/8/8/8/8/8/4K3 w - - 0 1", white_moves, white_promotions},
        {"4k3/8/8/8/8/8/1p6/R1N1K3 b - - 0 1", black_moves, black_promotions},
    };
    for (const PromotionCase& c : cases) {
        SCOPED_TRACE(c.fen);
        load(c.fen);
        generate_moves();
        expect_list(c.moves);
        generate_captures();
        expect_list(c.captures);
    }
}

TEST_F(BoardMoveGen, CapturesScoredMostValuableVictimThenLeastValuableAttacker) {
    const struct {
        const char* fen;
        Expected capture;
    } cases[] = {
        {"4k3/8/8/3q4/4P3/8/8/4K3 w - - 0 1", {"e4d5", 17, 1000032}},
        {"4k3/8/8/3q4/4P3/8/8/4K3 b - - 0 1", {"d5e4", 1, 999996}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen);
        load(c.fen);
        generate_captures();
        expect_list({c.capture});
    }
}

TEST_F(BoardMoveGen, EnPassantIsGeneratedEvenWhenItExposesTheKing) {
    // Taking on c6 would open the fifth rank between the rook and the king.
    load("8/8/8/KPp4r/8/8/8/7k w - c6 0 1");
    generate_moves();
    // clang-format off
    expect_list({
        {"a5a6", 0, 0}, {"a5b6", 0, 0}, {"a5a4", 0, 0}, {"a5b4", 0, 0},  // the king
        {"b5b6", 16, 0},                                                  // the pawn's step
        {"b5c6", 21, 0},                                                  // en passant, last
    });
    // clang-format on
    generate_captures();
    expect_list({{"b5c6", 21, 0}});
    const PositionState before = capture_state();
    EXPECT_FALSE(make_move(find_move("b5c6")));
    EXPECT_EQ(state_difference(before, capture_state()), "");
}

TEST_F(BoardMoveGen, EnPassantIsScoredLikeAQuietMove) {
    // Both black pawns beside d4 may take, the one on the lower file first.
    load("7k/8/8/8/2pPp3/8/8/7K b - d3 0 1");
    ordering.killer_move[0] = encode_move(36, 43, 0, 21);
    ordering.history_score[34][42] = 5;
    generate_moves();
    // clang-format off
    expect_list({
        {"h8g8", 0, 0}, {"h8g7", 0, 0}, {"h8h7", 0, 0},  // the king
        {"c4c3", 16, 5}, {"e4e3", 16, 0},               // the pawns' steps, by history
        {"c4d3", 21, 0}, {"e4d3", 21, 900000},          // en passant, by history or killer
    });
    // clang-format on
}

TEST_F(BoardMoveGen, KillerScoreOnlyForMovesOntoEmptySquares) {
    load("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    generate_moves();
    const Move capture = find_move("e4d5");
    const Move quiet = find_move("g1f3");
    ASSERT_EQ(move_flags(capture), 17);

    const struct {
        Move killer;
        int capture_score;
        int quiet_score;
    } cases[] = {
        {capture, 1000000, 0},
        {quiet, 1000000, 900000},
    };
    for (const auto& c : cases) {
        ordering.killer_move[0] = c.killer;
        generate_moves();
        for (const ScoredMove& entry : current_list()) {
            if (move_flags(entry.move) & MOVE_CASTLE) continue;  // scored by what stands on g1, c1
            int expected = 0;
            if (entry.move == capture) expected = c.capture_score;
            if (entry.move == quiet) expected = c.quiet_score;
            EXPECT_EQ(entry.score, expected) << move_text(entry.move);
        }
    }
    // The killer of another ply does not count here.
    ordering.killer_move[0] = 0;
    ordering.killer_move[1] = quiet;
    generate_moves();
    for (const ScoredMove& entry : current_list()) {
        if (entry.move == quiet) {
            EXPECT_EQ(entry.score, 0);
        }
    }
}

TEST_F(BoardMoveGen, GenerateCapturesOnAQuietPositionLeavesAnEmptyList) {
    load("4k3/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ - 0 1");
    ply = 3;
    ply_move_start[3] = 40;
    generate_captures();
    EXPECT_EQ(ply_move_end[3], 40);
    EXPECT_EQ(ply_move_start[4], 40);
    ply = 0;
}

// A pawn on its own last rank can be placed by editing the board; it has no
// square in front of it, and generation must neither read nor write off the board.
TEST_F(BoardMoveGen, PawnOnItsOwnLastRankStaysOnTheBoard) {
    const struct {
        const char* fen;
        Side pawn_side;
        Square squares[2];
    } cases[] = {
        {"8/8/3k4/8/8/3K4/8/8 w - - 0 1", WHITE, {0, 7}},
        {"8/8/3k4/8/8/3K4/8/8 b - - 0 1", BLACK, {56, 63}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen);
        load(c.fen);
        for (Square s : c.squares) {
            position.board_color[s] = c.pawn_side;
            position.board_piece[s] = PAWN;
        }
        // as edit mode does: the board stays unplayable, but its sets are current
        EXPECT_FALSE(rebuild_piece_bookkeeping());
        for (void (*generate)() : {generate_moves, generate_captures, generate_moves_by_scan,
                                   generate_captures_by_scan}) {
            generate();
            const std::vector<ScoredMove> list = current_list();
            EXPECT_LE(list.size(), 8u);
            for (const ScoredMove& entry : list) {
                const Square from = move_from(entry.move);
                const Square to = move_to(entry.move);
                EXPECT_TRUE(from >= 0 && from < 64 && to >= 0 && to < 64) << move_text(entry.move);
                EXPECT_EQ(position.board_color[from], position.side_to_move)
                    << move_text(entry.move);
                EXPECT_EQ(position.board_piece[from], KING) << move_text(entry.move);
            }
        }
        generate_moves();
        EXPECT_EQ(ply_move_end[0] - ply_move_start[0], 8);  // the king's moves alone
    }
}

// An en-passant square read from a FEN counts only behind a pawn of the side
// not to move that can just have made its double step; elsewhere the
// capturing pawn would stand off the board or take something else.
TEST_F(BoardMoveGen, FenEnPassantSquareOnlyOnItsRank) {
    const struct {
        const char* fen;
        Square ep;
    } cases[] = {
        {"k7/8/8/8/8/8/8/7K b - h8 0 1", NO_SQUARE},
        {"k7/8/8/8/8/8/8/7K w - a1 0 1", NO_SQUARE},
        {"k7/8/8/8/8/8/8/7K w - e3 0 1", NO_SQUARE},
        {"k7/8/8/4P3/8/8/8/7K w - f6 0 1", NO_SQUARE},
        {"k7/5p2/8/4Pp2/8/8/8/7K w - f6 0 1", NO_SQUARE},
        {"k7/8/8/4PN2/8/8/8/7K w - f6 0 1", NO_SQUARE},
        {"k7/8/8/pP6/8/8/8/7K w - a6 0 1", 16},
        {"k7/8/8/8/Pp6/8/8/7K b - a3 0 1", 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen);
        load(c.fen);
        EXPECT_EQ(position.ep_square, c.ep);
        generate_moves();
        for (const ScoredMove& entry : current_list()) {
            EXPECT_TRUE(move_from(entry.move) >= 0 && move_from(entry.move) < 64) << move_text(entry.move);
            if (make_move(entry.move)) {
                EXPECT_TRUE(position_is_consistent()) << move_text(entry.move);
                take_back();
            }
        }
    }
}

// ---- Keys ----

using BoardKeys = BoardFixture;

TEST_F(BoardKeys, OneFeatureChangesTheKeyByItsOwnValue) {
    const char* both_sides = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR %c KQkq - 0 1";
    char fen[100];
    std::snprintf(fen, sizeof fen, both_sides, 'w');
    load(fen);
    const std::uint32_t white_key = position.position_key;
    std::snprintf(fen, sizeof fen, both_sides, 'b');
    load(fen);
    EXPECT_EQ(white_key ^ position.position_key, white_to_move_key);

    // The double step's passed square enters the key, though no pawn can take.
    load(START_FEN);
    generate_moves();
    ASSERT_TRUE(make_move(find_move("e2e4")));
    const std::uint32_t after_double_step = position.position_key;
    std::snprintf(fen, sizeof fen, both_sides, 'b');
    load(fen);
    EXPECT_EQ(after_double_step ^ position.position_key, ep_square_key[44]);

    const char* rights_fens[] = {
        "r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1",
        "r3k2r/8/8/8/8/8/8/R3K2R w Kkq - 0 1",
        "r3k2r/8/8/8/8/8/8/R3K2R w KQq - 0 1",
        "r3k2r/8/8/8/8/8/8/R3K2R w KQk - 0 1",
    };
    load("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    const std::uint32_t all_rights = position.position_key;
    for (int bit = 0; bit < 4; ++bit) {
        load(rights_fens[bit]);
        EXPECT_EQ(all_rights ^ position.position_key, castle_right_key[bit]) << rights_fens[bit];
    }
}

TEST_F(BoardKeys, AllKeyValuesAreDistinctAndNonZero) {
    std::set<std::uint32_t> seen;
    int drawn = 0;
    const auto add = [&](std::uint32_t key) {
        ++drawn;
        EXPECT_NE(key, 0u);
        seen.insert(key);
    };
    for (Side side = WHITE; side <= BLACK; ++side)
        for (PieceType piece = PAWN; piece <= KING; ++piece)
            for (Square s = 0; s < 64; ++s) add(piece_square_key[side][piece][s]);
    for (Square s = 0; s < 64; ++s) add(ep_square_key[s]);
    for (std::uint32_t key : castle_right_key) add(key);
    add(white_to_move_key);
    EXPECT_EQ(drawn, 837);
    EXPECT_EQ(seen.size(), 837u);
    for (Side side = WHITE; side <= BLACK; ++side)
        for (Square s = 0; s < 64; ++s) EXPECT_EQ(piece_square_key[side][EMPTY][s], 0u);
}

// ---- make_move ----

using BoardMakeMove = BoardFixture;

struct LegalityCase {
    const char* what;
    const char* fen;
    const char* move;
    bool legal;
};

const LegalityCase legality_cases[] = {
    {"queenside castling with only b1 attacked", "1r2k3/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1", true},
    {"queenside castling through attacked d1", "3rk3/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1", false},
    {"queenside castling onto attacked c1", "2r1k3/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1", false},
    {"queenside castling with b1 occupied", "4k3/8/8/8/8/8/8/RN2K3 w Q - 0 1", "e1c1", false},
    {"queenside castling with d1 occupied", "4k3/8/8/8/8/8/8/R2QK3 w Q - 0 1", "e1c1", false},
    {"kingside castling", "4k3/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", true},
    {"kingside castling through attacked f1", "4kr2/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", false},
    {"kingside castling onto attacked g1", "4k1r1/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", false},
    {"kingside castling out of check", "k7/4r3/8/8/8/8/8/4K2R w K - 0 1", "e1g1", false},
    {"kingside castling with f1 occupied", "4k3/8/8/8/8/8/8/4KB1R w K - 0 1", "e1g1", false},
    {"black queenside castling with only b8 attacked", "r3k3/8/8/8/8/8/8/1R2K3 b q - 0 1", "e8c8",
     true},
    {"black queenside castling through attacked d8", "r3k3/8/8/8/8/8/8/3RK3 b q - 0 1", "e8c8",
     false},
    {"black queenside castling with d8 occupied", "r2qk3/8/8/8/8/8/8/4K3 b q - 0 1", "e8c8", false},
    {"black queenside castling with b8 occupied", "rn2k3/8/8/8/8/8/8/4K3 b q - 0 1", "e8c8", false},
    {"black kingside castling onto attacked g8", "4k2r/8/8/8/8/8/8/4K1R1 b k - 0 1", "e8g8", false},
    {"black kingside castling out of check", "4k2r/8/8/8/8/8/8/K3R3 b k - 0 1", "e8g8", false},
    {"pinned knight", "4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", "e2c3", false},
    {"pinned knight's king steps aside", "4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", "e1d1", true},
    {"king beside the other king", "8/8/8/3k4/8/3K4/8/8 w - - 0 1", "d3d4", false},
    {"king takes a defended piece", "4k3/8/8/8/8/2b5/3r4/4K3 w - - 0 1", "e1d2", false},
    {"king takes an undefended piece", "4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "e1d2", true},
    {"en passant exposing the king", "8/8/8/KPp4r/8/8/8/7k w - c6 0 1", "b5c6", false},
    {"en passant", "8/8/8/1Pp5/8/8/8/K6k w - c6 0 1", "b5c6", true},
    {"a move that ignores check", "4k3/8/8/8/8/8/4r3/R3K3 w - - 0 1", "a1a2", false},
    {"taking the checking piece", "4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", "e1e2", true},
};

TEST_F(BoardMakeMove, LegalityTest) {
    for (const LegalityCase& c : legality_cases) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.fen + " " + c.move);
        load(c.fen);
        generate_moves();
        const Move move = find_move(c.move);
        ASSERT_NE(move, 0u) << "not generated";
        const PositionState before = capture_state();
        const std::vector<ScoredMove> list = current_list();
        const bool made = make_move(move);
        EXPECT_EQ(made, c.legal);
        if (made) {
            EXPECT_EQ(ply, 1);
            EXPECT_TRUE(position_is_consistent());
            take_back();
        }
        EXPECT_EQ(state_difference(before, capture_state()), "");
        EXPECT_EQ(current_list().size(), list.size());
    }
}

struct EffectCase {
    const char* fen;
    const char* move;
    int rights;
    Square ep;
    int clock;
};

TEST_F(BoardMakeMove, RightsEnPassantSquareAndHalfmoveClock) {
    const char* white = "r3k2r/p6p/8/8/8/8/P6P/R3K2R w KQkq - 7 20";
    const char* black = "r3k2r/p6p/8/8/8/8/P6P/R3K2R b KQkq - 7 20";
    const char* open = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 7 20";
    const EffectCase cases[] = {
        {white, "e1e2", 12, -1, 8},  // a king move ends both white rights
        {white, "e1g1", 12, -1, 8},  // castling counts up the clock
        {white, "e1c1", 12, -1, 8},
        {white, "a1b1", 13, -1, 8},
        {white, "h1g1", 14, -1, 8},
        {white, "a2a4", 15, 40, 0},  // the passed square, though no pawn can take
        {white, "h2h3", 15, -1, 0},
        {open, "a1a8", 5, -1, 0},  // a capture on a8 ends black's queenside right
        {open, "h1h8", 10, -1, 0},
        {black, "e8d8", 3, -1, 8},  // a black king move leaves white's rights alone
        {black, "e8g8", 3, -1, 8},
        {black, "h8g8", 11, -1, 8},
        {black, "a7a5", 15, 16, 0},
        {black, "h7h6", 15, -1, 0},
        {"rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 3 2", "g1f3", 15, -1, 4},
    };
    for (const EffectCase& c : cases) {
        SCOPED_TRACE(std::string(c.fen) + " " + c.move);
        load(c.fen);
        generate_moves();
        ASSERT_TRUE(make_move(find_move(c.move)));
        EXPECT_EQ(position.castle_rights, c.rights);
        EXPECT_EQ(position.ep_square, c.ep);
        EXPECT_EQ(position.halfmove_clock, c.clock);
        EXPECT_EQ(undo_stack[0].castle_rights, 15);
        take_back();
        EXPECT_EQ(position.castle_rights, 15);
    }
}

TEST_F(BoardMakeMove, CastlingMovesTheRook) {
    const struct {
        const char* fen;
        const char* move;
        Square king_to, rook_from, rook_to;
    } cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", 62, 63, 61},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", 58, 56, 59},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", 6, 7, 5},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", 2, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.move);
        load(c.fen);
        const Side mover = position.side_to_move;
        generate_moves();
        ASSERT_TRUE(make_move(find_move(c.move)));
        EXPECT_EQ(position.board_piece[c.king_to], KING);
        EXPECT_EQ(position.king_square[mover], c.king_to);
        EXPECT_EQ(position.board_piece[c.rook_to], ROOK);
        EXPECT_EQ(position.board_color[c.rook_to], mover);
        EXPECT_EQ(position.board_color[c.rook_from], EMPTY);
        EXPECT_EQ(undo_stack[0].captured, EMPTY);
        EXPECT_TRUE(position_is_consistent());
    }
}

TEST_F(BoardMakeMove, PromotionChangesBothSidesMaterial) {
    const struct {
        const char* move;
        int white_pawns, white_pieces, black_pieces;
        PieceType on_destination;
    } cases[] = {
        {"b7a8q", 100, 900, 300, QUEEN},  // takes the rook
        {"b7a8n", 100, 300, 300, KNIGHT},
        {"b7c8b", 100, 325, 500, BISHOP},  // takes the knight
        {"b7b8r", 100, 500, 800, ROOK},    // by a step
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.move);
        load("r1n1k3/1P6/8/8/8/8/6P1/4K3 w - - 0 1");
        const PositionState before = capture_state();
        generate_moves();
        const Move move = find_move(c.move);
        ASSERT_TRUE(make_move(move));
        const Square to = move_to(move);
        EXPECT_EQ(position.board_piece[to], c.on_destination);
        EXPECT_EQ(position.board_color[to], WHITE);
        EXPECT_EQ(position.pawn_material[WHITE], c.white_pawns);
        EXPECT_EQ(position.piece_material[WHITE], c.white_pieces);
        EXPECT_EQ(position.total_material[WHITE], c.white_pawns + c.white_pieces);
        EXPECT_EQ(position.piece_material[BLACK], c.black_pieces);
        EXPECT_EQ(position.total_material[BLACK], c.black_pieces);
        EXPECT_FALSE(pawn_listed(WHITE, 9));
        EXPECT_TRUE(pawn_listed(WHITE, 54));
        EXPECT_TRUE(position_is_consistent());
        take_back();
        EXPECT_EQ(state_difference(before, capture_state()), "");
    }
}

TEST_F(BoardMakeMove, EnPassantRemovesThePawnBehindTheDestination) {
    const struct {
        const char* fen;
        const char* move;
        Square mover_to, victim;
        Side victim_side;
    } cases[] = {
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", 19, 27, BLACK},
        {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1", "e4d3", 43, 35, WHITE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.move);
        load(c.fen);
        const PositionState before = capture_state();
        generate_moves();
        ASSERT_TRUE(make_move(find_move(c.move)));
        EXPECT_EQ(position.board_color[c.victim], EMPTY);
        EXPECT_EQ(position.board_piece[c.victim], EMPTY);
        EXPECT_EQ(position.board_piece[c.mover_to], PAWN);
        EXPECT_EQ(position.pawn_material[c.victim_side], 0);
        EXPECT_EQ(position.total_material[c.victim_side], 0);
        EXPECT_FALSE(pawn_listed(c.victim_side, c.victim));
        EXPECT_TRUE(pawn_listed(c.victim_side ^ 1, c.mover_to));
        EXPECT_EQ(undo_stack[0].captured, EMPTY);
        EXPECT_EQ(position.halfmove_clock, 0);
        take_back();
        EXPECT_EQ(state_difference(before, capture_state()), "");
    }
}

TEST_F(BoardMakeMove, NewGameMatchesTheStartPosition) {
    ensure_keys();
    new_game();
    compute_position_key();
    const PositionState fresh = capture_state();
    const Square white_pawns[8] = {48, 49, 50, 51, 52, 53, 54, 55};
    const Square black_pawns[8] = {8, 9, 10, 11, 12, 13, 14, 15};
    EXPECT_TRUE(std::equal(white_pawns, white_pawns + 8, position.pawn_squares[WHITE]));
    EXPECT_TRUE(std::equal(black_pawns, black_pawns + 8, position.pawn_squares[BLACK]));
    EXPECT_EQ(position.total_material[WHITE], 3950);
    EXPECT_EQ(position.total_material[BLACK], 3950);
    EXPECT_TRUE(position_is_consistent());
    load(START_FEN);
    EXPECT_EQ(state_difference(fresh, capture_state()), "");
}

}  // namespace
