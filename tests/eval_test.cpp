// The evaluation against hand-computed scores, the colour-mirror symmetry over
// many reachable positions, and the mating-material draw.
#include "eval/eval.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "eval/king_safety.h"
#include "eval/material.h"
#include "eval/pawns.h"

namespace {

constexpr int NO_OVERRIDE = -1;
constexpr int WIDE = 100000;

void load(const std::string& fen) {
    static const bool keys_ready = (init_keys(), true);
    (void)keys_ready;
    ASSERT_TRUE(load_fen(fen.c_str())) << fen;
}

Square square_named(const char* name) { return (name[0] - 'a') + 8 * ('8' - name[1]); }

// Forsyth-Edwards text of the current position, or of its colour mirror: ranks
// flipped, colours exchanged, the other side to move.
std::string fen_of_position(bool mirrored) {
    std::string fen;
    for (int row = 0; row < 8; ++row) {
        int gap = 0;
        for (int file = 0; file < 8; ++file) {
            const Square s = mirrored ? (8 * row + file) ^ 56 : 8 * row + file;
            if (position.board_color[s] == EMPTY) {
                ++gap;
                continue;
            }
            if (gap) fen += static_cast<char>('0' + gap);
            gap = 0;
            const char letter = piece_letters[position.board_piece[s]];
            const bool white = (position.board_color[s] == WHITE) != mirrored;
            fen += white ? letter : static_cast<char>(letter - 'A' + 'a');
        }
        if (gap) fen += static_cast<char>('0' + gap);
        if (row < 7) fen += '/';
    }
    fen += (position.side_to_move == WHITE) != mirrored ? " w " : " b ";
    const char* letters = mirrored ? "kqKQ" : "KQkq";
    std::string rights;
    for (int bit = 0; bit < 4; ++bit)
        if (position.castle_rights & (1 << bit)) rights += letters[bit];
    fen += rights.empty() ? "-" : rights;
    fen += ' ';
    if (position.ep_square == NO_SQUARE) {
        fen += '-';
    } else {
        const Square e = mirrored ? position.ep_square ^ 56 : position.ep_square;
        fen += static_cast<char>('a' + file_of(e));
        fen += static_cast<char>('8' - row_of(e));
    }
    return fen + " " + std::to_string(position.halfmove_clock) + " 1";
}

// ---- whole scores ----

struct ScoreCase {
    const char* fen;
    int alpha;
    int beta;
    int expected;
    // replaces black's piece_material (and nothing else) to probe a boundary
    // no real set of pieces reaches
    int black_piece_material = NO_OVERRIDE;
};

TEST(Evaluate, WorkedPositions) {
    constexpr int INT_LOW = std::numeric_limits<int>::min();
    constexpr int INT_HIGH = std::numeric_limits<int>::max();
    const ScoreCase cases[] = {
        // each side: 3950 material - 100 pawns - 60 knights - 40 bishops - 20 king = 3730
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", -WIDE, WIDE, 0},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1", -WIDE, WIDE, 0},
        // 1. e4: the e-pawn reads 8 instead of -60
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", -WIDE, WIDE, -68},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e3 0 1", -WIDE, WIDE, 68},
        // 1. f4: the f-pawn reads 8 instead of 0
        {"rnbqkbnr/pppppppp/8/8/5P2/8/PPPPP1PP/RNBQKBNR b KQkq f3 0 1", -WIDE, WIDE, -8},
        // 1. Nf3 and 1. Nc3: a knight leaves -30 for 5
        {"rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 0 1", -WIDE, WIDE, -35},
        {"rnbqkbnr/pppppppp/8/8/8/2N5/PPPPPPPP/R1BQKBNR b KQkq - 0 1", -WIDE, WIDE, -35},
        // g3 and Bg2: pawn 0 -> 2, bishop -20 -> 10, and h2 turns backward (-8)
        {"rnbqkbnr/pppppppp/8/8/8/6P1/PPPPPPBP/RNBQK1NR b KQkq - 0 1", -WIDE, WIDE, -24},
        // b3 and Bb2: the same on the other wing, a2 backward
        {"rnbqkbnr/pppppppp/8/8/8/1P6/PBPPPPPP/RN1QKBNR b KQkq - 0 1", -WIDE, WIDE, -24},
        // white 600 + 35 rook (15 file, 20 seventh) - 20 isolated h2 + 10 Kg1 = 625;
        // black 100 - 20 isolated h7 + 10 Kg8 = 90
        {"6k1/R6p/8/8/8/8/7P/6K1 w - - 0 1", -10000, 10000, 535},
        // rook on a file free of all pawns while both sides have pawns: +15;
        // white 600 + 15 - 20 (a2 isolated, not passed) = 595, black 100 - 20 = 80
        {"7k/p7/8/8/8/8/P7/3R3K w - - 0 1", -WIDE, WIDE, 515},
        // black without pawns: +10 only; a2 is isolated (-20) and passed (+20)
        {"7k/8/8/8/8/8/P7/3R3K w - - 0 1", -WIDE, WIDE, 610},
        // a black pawn on the rook's file: +10 only; white 600 + 10 + 0 (a2) = 610;
        // black 100 - 40 (d7 reads d2) - 20 isolated + 20 passed = 60
        {"7k/3p4/8/8/8/8/P7/3R3K w - - 0 1", -WIDE, WIDE, 550},
        // white without pawns: no file bonus; black a7: -20 isolated + 20 passed
        {"7k/p7/8/8/8/8/8/3R3K w - - 0 1", -WIDE, WIDE, 400},
        // rook on d7: 15 file + 20 seventh; white 600 + 35 - 20 = 615, black 80
        {"7k/p2R4/8/8/8/8/P7/7K w - - 0 1", -WIDE, WIDE, 535},
        // rook on d7 in front of its own d2 pawn: 20 seventh only;
        // white 700 + 20 - 20 (a2) - 40 (d2: -40 table, -20 isolated, +20 passed) = 660
        {"7k/p2R4/8/8/8/8/P2P4/7K w - - 0 1", -WIDE, WIDE, 580},
        // the same for black, a rook on d2, black to move: 615 - 80
        {"7k/p7/8/8/8/8/P2r4/7K b - - 0 1", -WIDE, WIDE, 535},
        // a queen counts its material only, on any square; both kings on corners read 0
        {"7k/8/8/8/3Q4/8/8/7K w - - 0 1", -WIDE, WIDE, 900},
        {"Q6k/8/8/8/8/8/8/7K w - - 0 1", -WIDE, WIDE, 900},
        // white Ke4 reads 60 from the endgame table: full score 960, material 900;
        // the lazy answer lies far outside (-50, 50) and comes back unclipped
        {"7k/8/8/8/4K3/8/8/Q7 w - - 0 1", -50, 50, 900},
        // a balance of exactly beta + 200 is evaluated in full, one more takes the exit
        {"7k/8/8/8/4K3/8/8/Q7 w - - 0 1", -10000, 699, 900},
        {"7k/8/8/8/4K3/8/8/Q7 w - - 0 1", -10000, 700, 960},
        // and from black's side, exactly alpha - 200
        {"7k/8/8/8/4K3/8/8/Q7 b - - 0 1", -700, 10000, -960},
        {"7k/8/8/8/4K3/8/8/Q7 b - - 0 1", -699, 10000, -900},
        // a window at the limits of int
        {"7k/8/8/8/4K3/8/8/Q7 w - - 0 1", INT_LOW, INT_HIGH, 960},
        // black Q+N is exactly 1200: the white king reads the endgame table, 10 on g1;
        // white 300 + 0 pawns + 10 = 310, black 1500 - 30 (Nb8) + 10 (Kg8) = 1480
        {"1n1q2k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1", -10000, 10000, -1170},
        // above 1200 the white king is scored for safety, 20 x (1201 / 600) = 40,
        // while the black king still reads the endgame table
        {"1n1q2k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1", -10000, 10000, -1140, 1201},
    };
    for (const ScoreCase& c : cases) {
        load(c.fen);
        if (c.black_piece_material != NO_OVERRIDE)
            position.piece_material[BLACK] = c.black_piece_material;
        EXPECT_EQ(evaluate(c.alpha, c.beta), c.expected)
            << c.fen << " window " << c.alpha << ", " << c.beta;
    }
}

// ---- colour symmetry ----

struct Sample {
    int score;
    std::string mirror_fen;
    std::string other_side_fen;
};

void record(std::vector<Sample>& samples) {
    std::string other_side = fen_of_position(false);
    other_side[other_side.find(position.side_to_move == WHITE ? " w " : " b ") + 1] =
        position.side_to_move == WHITE ? 'b' : 'w';
    samples.push_back({evaluate(-WIDE, WIDE), fen_of_position(true), other_side});
}

void walk(int depth, std::vector<Sample>& samples) {
    record(samples);
    if (depth == 0) return;
    generate_moves();
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        if (!make_move(move_stack[i].move)) continue;
        walk(depth - 1, samples);
        take_back();
    }
}

// Plays random legal moves, each one committed as a game move would be.
void playout(std::mt19937& random, int length, std::vector<Sample>& samples) {
    for (int played = 0; played < length; ++played) {
        record(samples);
        generate_moves();
        std::vector<Move> legal;
        for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
            if (!make_move(move_stack[i].move)) continue;
            take_back();
            legal.push_back(move_stack[i].move);
        }
        if (legal.empty()) return;
        ASSERT_TRUE(make_move(legal[random() % legal.size()]));
        ply = 0;
    }
}

// The colour-mirrored position scores the same, and the same board with the
// other side to move scores the negation.
TEST(Evaluate, ColourMirrorAndSideToMove) {
    struct Start {
        const char* fen;
        int depth;
    };
    const Start starts[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 3},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 2},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 3},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 2},
        {"2r3k1/1R3pp1/4p2p/3n4/8/6P1/5PKP/2B5 b - - 0 1", 3},
    };
    std::vector<Sample> samples;
    for (const Start& start : starts) {
        load(start.fen);
        walk(start.depth, samples);
    }
    std::mt19937 random(20240611);
    for (int game = 0; game < 40; ++game) {
        load(starts[game % 5].fen);
        playout(random, 200, samples);
    }
    for (const Sample& sample : samples) {
        load(sample.mirror_fen);
        EXPECT_EQ(evaluate(-WIDE, WIDE), sample.score) << sample.mirror_fen;
        load(sample.other_side_fen);
        EXPECT_EQ(evaluate(-WIDE, WIDE), -sample.score) << sample.other_side_fen;
    }
}

// ---- pawn structure ----

struct PawnCase {
    const char* fen;
    const char* square;
    int expected;
};

TEST(EvalPawns, PawnScores) {
    const PawnCase cases[] = {
        // 20 table - 20 isolated + 120 passed on rank 7
        {"7k/4P3/8/8/8/8/8/K7 w - - 0 1", "e7", 120},
        // e2 is the rearmost: -60 table - 20 isolated + 20 passed
        {"7k/8/8/8/4P3/8/4P3/K7 w - - 0 1", "e2", -60},
        // e4 pays for doubling: 8 table - 10 doubled - 20 isolated + 60 passed
        {"7k/8/8/8/4P3/8/4P3/K7 w - - 0 1", "e4", 38},
        // the file left of a is an empty sentinel; a7 stops it from being passed
        {"7k/p7/8/8/8/8/P7/7K w - - 0 1", "a2", -20},
        // with b3 beside it a2 is not isolated but backward
        {"7k/p7/8/8/8/1P6/P7/7K w - - 0 1", "a2", -8},
        {"7k/p7/8/8/8/8/PP6/7K w - - 0 1", "a2", 0},
        // d3 behind c4 and e4 is backward: -10 table - 8; d7 stops it from being passed
        {"7k/3p4/8/8/2P1P3/3P4/8/7K w - - 0 1", "d3", -18},
        {"7k/3p4/8/8/4P3/2PP4/8/7K w - - 0 1", "d3", -10},
        {"7k/3p4/8/8/4P3/3P4/2P5/7K w - - 0 1", "d3", -10},
        // a black pawn level on the next file does not stop a passer: 12 - 20 + 80
        {"7k/8/8/3pP3/8/8/8/7K w - - 0 1", "e5", 72},
        // and the black d5 pawn is passed too: 8 (reads d4) - 20 + 60
        {"7k/8/8/3pP3/8/8/8/7K w - - 0 1", "d5", 48},
        // a black pawn in front on the next file does: 12 - 20
        {"7k/8/3p4/4P3/8/8/8/7K w - - 0 1", "e5", -8},
        // d6 reads d3 (-10) - 20 isolated, not passed
        {"7k/8/3p4/4P3/8/8/8/7K w - - 0 1", "d6", -30},
        // black doubled on e7 and e5: e5 (reads e4) 8 - 10 doubled - 20 isolated + 60 passed;
        // e7, the rearmost, (reads e2) -60 - 20 isolated + 20 passed
        {"7k/4p3/8/4p3/8/8/8/K7 w - - 0 1", "e5", 38},
        {"7k/4p3/8/4p3/8/8/8/K7 w - - 0 1", "e7", -60},
    };
    for (const PawnCase& c : cases) {
        load(c.fen);
        build_pawn_file_tables();
        const Square s = square_named(c.square);
        ASSERT_EQ(position.board_piece[s], PAWN) << c.fen << " " << c.square;
        const int score =
            position.board_color[s] == WHITE ? score_white_pawn(s) : score_black_pawn(s);
        EXPECT_EQ(score, c.expected) << c.fen << " " << c.square;
    }
}

TEST(EvalPawns, InitialPawnsScoreTheirTableValues) {
    load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    build_pawn_file_tables();
    int sum[2] = {0, 0};
    for (Side side = WHITE; side <= BLACK; ++side)
        for (const Square s : position.pawn_squares[side])
            sum[side] += side == WHITE ? score_white_pawn(s) : score_black_pawn(s);
    EXPECT_EQ(sum[WHITE], -100);
    EXPECT_EQ(sum[BLACK], -100);
}

// Without pawns the fill is skipped, and the tables must still hold their reset values.
TEST(EvalPawns, FileTablesWithoutPawnsHoldResetValues) {
    load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    build_pawn_file_tables();
    load("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
    build_pawn_file_tables();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(file_pawn_count[WHITE][i], 0) << i;
        EXPECT_EQ(file_pawn_count[BLACK][i], 0) << i;
        EXPECT_EQ(rear_pawn_row[WHITE][i], -1) << i;
        EXPECT_EQ(rear_pawn_row[BLACK][i], 8) << i;
    }
}

// ---- king safety ----

struct KingCase {
    const char* fen;
    Side side;
    int expected;
    // replaces the opponent's piece_material to probe the factor's steps
    int opponent_piece_material = NO_OVERRIDE;
};

TEST(EvalKingSafety, KingScores) {
    const KingCase cases[] = {
        // a king on e1 or e8 with pawns on d, e and f: -4 x (3150 / 600 = 5)
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", WHITE, -20},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", BLACK, -20},
        // Kg1 behind f2 g2 h2: 20 x 5
        {"rnbqkbnr/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1", WHITE, 100},
        // the king's first-rank square values, behind an unmoved shelter: 2, 10, -4, 8
        {"rnbqkbnr/ppp5/8/8/8/8/PPP5/K7 w - - 0 1", WHITE, 10},
        {"rnbqkbnr/ppp5/8/8/8/8/PPP5/2K5 w - - 0 1", WHITE, 50},
        {"rnbqkbnr/5ppp/8/8/8/8/5PPP/5K2 w - - 0 1", WHITE, -20},
        {"rnbqkbnr/5ppp/8/8/8/8/5PPP/7K w - - 0 1", WHITE, 40},
        // g-pawn on g3: (20 - 2) x 5
        {"rnbqkbnr/5ppp/8/8/8/6P1/5P1P/6K1 w - - 0 1", WHITE, 90},
        // g-pawn on g4: (20 - 4) x 5
        {"rnbqkbnr/5ppp/8/8/6P1/8/5P1P/6K1 w - - 0 1", WHITE, 80},
        // f-pawn, the inner file, on f3 and on f4: (20 - 1) x 5, (20 - 3) x 5
        {"rnbqkbnr/5ppp/8/8/8/5P2/6PP/6K1 w - - 0 1", WHITE, 95},
        {"rnbqkbnr/5ppp/8/8/5P2/8/6PP/6K1 w - - 0 1", WHITE, 85},
        // no g-pawn of either side: (20 - 8) x 5
        {"rnbqkbnr/5p1p/8/8/8/8/5P1P/6K1 w - - 0 1", WHITE, 60},
        // no f-pawn of either side: (20 - 5) x 5
        {"rnbqkbnr/6pp/8/8/8/8/6PP/6K1 w - - 0 1", WHITE, 75},
        // only black has a g-pawn: no shelter cost; storm on g4 -2, g5 -1, g6 0
        {"rnbqkbnr/5p1p/8/8/6p1/8/5P1P/6K1 w - - 0 1", WHITE, 90},
        {"rnbqkbnr/5p1p/8/6p1/8/8/5P1P/6K1 w - - 0 1", WHITE, 95},
        {"rnbqkbnr/5p1p/6p1/8/8/8/5P1P/6K1 w - - 0 1", WHITE, 100},
        // a second black g-pawn left on g7 is the rearmost: no storm
        {"rnbqkbnr/5ppp/8/8/6p1/8/5P1P/6K1 w - - 0 1", WHITE, 100},
        // storm and shelter together: own g3 (-2) and black g4 (-2)
        {"rnbqkbnr/5p1p/8/8/6p1/6P1/5P1P/6K1 w - - 0 1", WHITE, 80},
        // Kb1, a white pawn only on c3, no black pawns on a to c: 16 - 8 - 8 - 1
        {"rnbqkbnr/8/8/8/8/2P5/8/1K6 w - - 0 1", WHITE, -5},
        // Kd1 with the c- and d-files empty and pawns on e: (-4 - 2 - 2) x 5
        {"rnbqkbnr/pp2pppp/8/8/8/8/4P3/3K4 w - - 0 1", WHITE, -40},
        // the factor is the whole number of 600s: 1799 gives 2, 1800 gives 3
        {"rnbqkbnr/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1", WHITE, 40, 1799},
        {"rnbqkbnr/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1", WHITE, 60, 1800},
        // the black king, mirrored: Kg8 with g6 (-2), and with a white g-pawn on g5 (-2),
        // on g4 (-1)
        {"6k1/5p1p/6p1/8/8/8/5PPP/RNBQKBNR b - - 0 1", BLACK, 90},
        {"6k1/5p1p/8/6P1/8/8/5P1P/RNBQKBNR b - - 0 1", BLACK, 90},
        {"6k1/5p1p/8/8/6P1/8/5P1P/RNBQKBNR b - - 0 1", BLACK, 95},
        // Kb8 mirrored from Kb1: 16 - 8 - 8 - 1
        {"1k6/8/2p5/8/8/8/8/RNBQKBNR b - - 0 1", BLACK, -5},
        // Kd8 mirrored from Kd1
        {"3k4/4p3/8/8/8/8/PP2PPPP/RNBQKBNR b - - 0 1", BLACK, -40},
    };
    for (const KingCase& c : cases) {
        load(c.fen);
        if (c.opponent_piece_material != NO_OVERRIDE)
            position.piece_material[c.side ^ 1] = c.opponent_piece_material;
        build_pawn_file_tables();
        const Square s = position.king_square[c.side];
        const int score = c.side == WHITE ? white_king_safety(s) : black_king_safety(s);
        EXPECT_EQ(score, c.expected) << c.fen;
    }
}

// ---- mating material ----

TEST(EvalMaterial, NoMatingMaterial) {
    const struct {
        const char* fen;
        bool expected;
    } cases[] = {
        {"7k/8/8/8/8/8/8/K7 w - - 0 1", true},       // K v K
        {"6bk/8/8/8/8/8/8/KN6 w - - 0 1", true},     // KN v KB
        {"6bk/8/8/8/8/8/8/KB6 w - - 0 1", true},     // KB v KB
        {"7k/8/8/8/8/8/8/KNN5 w - - 0 1", true},     // KNN v K
        {"5nnk/8/8/8/8/8/8/K7 w - - 0 1", true},     // K v KNN
        {"6bk/8/8/8/8/8/8/KNN5 w - - 0 1", true},    // KNN v KB
        {"7k/8/8/8/8/8/8/KBN5 w - - 0 1", false},    // KBN v K
        {"5bnk/8/8/8/8/8/8/K7 w - - 0 1", false},    // K v KBN
        {"7k/8/8/8/8/8/8/KBB5 w - - 0 1", false},    // KBB v K
        {"7k/8/8/8/8/8/8/KR6 w - - 0 1", false},     // KR v K
        {"6rk/8/8/8/8/8/8/KN6 w - - 0 1", false},    // KN v KR
        {"7k/8/8/8/8/8/8/KQ6 w - - 0 1", false},     // KQ v K
        {"7k/8/8/8/8/8/P7/K7 w - - 0 1", false},     // KP v K
        {"7k/p7/8/8/8/8/8/KN6 w - - 0 1", false},    // KN v KP
        {"6bk/p7/8/8/8/8/8/KNN5 w - - 0 1", false},  // KNN v KBP
    };
    for (const auto& c : cases) {
        load(c.fen);
        EXPECT_EQ(no_mating_material(), c.expected) << c.fen;
    }
}

}  // namespace
