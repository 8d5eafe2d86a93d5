// karvosel-uci's repetitions as the rules count them: after a double pawn
// step that no pawn can take en passant, the position repeats the same
// position without the en-passant square (which the engine's keys tell
// apart); where a capture en passant is possible it does not.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "protocol/uci/repetition.h"
#include "protocol/uci/uci.h"

namespace {

void send_position(const std::string& arguments) {
    start_uci_engine();
    InputLine line;
    line.text = "position " + arguments;
    ASSERT_TRUE(handle_uci_line(line));
}

// The legal move of the current ply written as `text`.
Move legal_move(const char* text) {
    generate_moves();
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        char written[MOVE_TEXT_SIZE];
        format_move(move_stack[i].move, written);
        if (std::strcmp(written, text) != 0 || !make_move(move_stack[i].move)) continue;
        take_back();
        return move_stack[i].move;
    }
    ADD_FAILURE() << "no legal move " << text;
    return 0;
}

// The rule repetitions of the position at the end of `line`, played from the
// game's position (and taken back after).
int repetitions_after(const std::vector<const char*>& line) {
    std::vector<std::uint32_t> keys;
    for (const char* text : line) {
        EXPECT_TRUE(make_move(legal_move(text)));
        keys.push_back(rule_key());
    }
    const int count = rule_repetitions(keys.data(), static_cast<int>(keys.size()));
    for (std::size_t i = 0; i < line.size(); ++i) take_back();
    return count;
}

// Black's f-pawn steps two squares; white's knight and black's king then go
// out and back twice. With the white pawn on g4 nothing can take on f6; on
// g5 the capture en passant is there at once.
const char* const SHUFFLE = " moves f7f5 g1f3 g8h8 f3g1 h8g8 g1f3 g8h8 f3g1 h8g8";

TEST(RuleRepetition, AnUntakableEnPassantSquareDoesNotCount) {
    send_position("fen 6k1/5p2/8/8/6P1/8/8/4K1N1 b - - 0 1" + std::string(SHUFFLE));
    EXPECT_EQ(rule_repetitions(nullptr, 0), 2);
}

TEST(RuleRepetition, ATakableEnPassantSquareCounts) {
    send_position("fen 6k1/5p2/8/6P1/8/8/8/4K1N1 b - - 0 1" + std::string(SHUFFLE));
    EXPECT_EQ(rule_repetitions(nullptr, 0), 1);
}

TEST(RuleRepetition, CountsTheGameAndTheLineTogether) {
    send_position("fen 6k1/5p2/8/8/6P1/8/8/4K1N1 b - - 0 1 moves f7f5 g1f3 g8h8 f3g1");
    EXPECT_EQ(repetitions_after({"h8g8"}), 1);
    EXPECT_EQ(repetitions_after({"h8g8", "g1f3", "g8h8", "f3g1", "h8g8"}), 2);
    // A pawn move on the line leaves nothing before it to repeat.
    EXPECT_EQ(repetitions_after({"h8g8", "g4g5", "g8h8", "g1f3", "h8g8"}), 0);
    // The double step on the line itself.
    send_position("fen 6k1/5p2/8/8/6P1/8/8/4K1N1 b - - 0 1");
    EXPECT_EQ(repetitions_after({"f7f5", "g1f3", "g8h8", "f3g1", "h8g8", "g1f3", "g8h8", "f3g1",
                                 "h8g8"}),
              2);
}

}  // namespace
