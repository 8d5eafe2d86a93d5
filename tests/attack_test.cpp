// square_attacked looks outward from the target square. Its oracle here is the
// plain definition: walk every piece of the attacking side over the board and
// see whether it reaches the target, its own occupant never blocking.
#include <gtest/gtest.h>

#include <random>

#include "board/attack.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"

namespace {

bool reaches_by_scanning(Square target, Side by_side) {
    for (Square i = 0; i < 64; ++i) {
        if (position.board_color[i] != by_side) continue;
        const PieceType piece = position.board_piece[i];
        if (piece == PAWN) {
            const int ahead = by_side == WHITE ? -8 : 8;
            if (file_of(i) != 0 && i + ahead - 1 == target) return true;
            if (file_of(i) != 7 && i + ahead + 1 == target) return true;
            continue;
        }
        for (int d = 0; d < direction_count[piece]; ++d) {
            const int step = piece_directions[piece][d];
            for (Square n = frame_to_square[square_to_frame[i] + step]; n != -1;
                 n = frame_to_square[square_to_frame[n] + step]) {
                if (n == target) return true;
                if (position.board_color[n] != EMPTY || !piece_slides[piece]) break;
            }
        }
    }
    return false;
}

void expect_same_answers(const char* where) {
    for (Square target = 0; target < 64; ++target)
        for (Side side = WHITE; side <= BLACK; ++side)
            ASSERT_EQ(square_attacked(target, side), reaches_by_scanning(target, side))
                << where << ": square " << target << " by side " << side;
}

TEST(SquareAttacked, AgreesWithABoardScanOnEverySquare) {
    init_keys();
    const char* starts[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    };
    std::mt19937 random(20261209);
    for (const char* start : starts) {
        ASSERT_TRUE(load_fen(start));
        // Random playouts visit crowded and sparse boards alike.
        for (int game = 0; game < 20; ++game) {
            ASSERT_TRUE(load_fen(start));
            for (int move_number = 0; move_number < 120; ++move_number) {
                expect_same_answers(start);
                if (testing::Test::HasFatalFailure()) return;
                generate_moves();
                Move legal[MAX_MOVES_PER_POSITION];
                int count = 0;
                for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i)
                    if (make_move(move_stack[i].move)) {
                        take_back();
                        legal[count++] = move_stack[i].move;
                    }
                if (count == 0 || ply == MAX_PLY - 1) break;
                make_move(legal[random() % count]);
            }
        }
    }
}

}  // namespace
