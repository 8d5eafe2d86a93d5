// libFuzzer target for move text: one typed line matched against the legal
// moves of a position chosen by the first byte (castling, en passant,
// promotions, a position without legal moves). Whether the move is played,
// and which one, is compared with a reading of the text written here: squares
// "a1" to "h8" in the first four characters, and for a promotion the fifth
// letter "n", "b" or "r", a queen otherwise.
#include <cstddef>
#include <cstdint>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "fuzz/fuzz_text.h"
#include "fuzz/harness.h"
#include "protocol/cecp/loop.h"
#include "protocol/cecp/movetext.h"
#include "protocol/common/game.h"

namespace {

const char* const positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/pPppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/P1PBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q2/PpPBBPPP/R3K2R b KQkq - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "rnbqkbnr/pppp1ppp/8/8/3Pp3/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 3",
    "r3k2r/8/8/8/8/5q2/8/R3K2R w KQkq - 0 1",
    "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",
    "4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1",
};
constexpr int POSITION_COUNT = sizeof positions / sizeof positions[0];

Square reference_square(const char* text) {
    if (text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8') return NO_SQUARE;
    return (text[0] - 'a') + 8 * ('8' - text[1]);
}

PieceType reference_promotion(char letter) {
    return letter == 'n' ? KNIGHT : letter == 'b' ? BISHOP : letter == 'r' ? ROOK : QUEEN;
}

// The legal move the text names, or 0.
Move reference_move(const char* text) {
    const Square from = reference_square(text);
    const Square to = from == NO_SQUARE ? NO_SQUARE : reference_square(text + 2);
    if (to == NO_SQUARE) return 0;
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        const Move move = move_stack[i].move;
        if (move_from(move) != from || move_to(move) != to) continue;
        if ((move_flags(move) & MOVE_PROMOTE) &&
            move_promotion(move) != reference_promotion(text[4]))
            continue;
        if (!make_move(move)) return 0;
        take_back();
        return move;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    harness_initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    harness_set_input(nullptr, 0);
    harness_start_engine();
    if (!load_fen(positions[data[0] % POSITION_COUNT]))
        harness_fail("a position of the table does not load");
    generate_moves();
    update_position_playable();
    input_as_line(data + 1, size - 1, command_line, COMMAND_LINE_SIZE);
    // The loop takes a line as a move only when its first word is no command;
    // none of those words names a square, so every one is refused here too.
    if (!first_word(command_line, command_word)) return 0;

    const Move expected = reference_move(command_line);
    const bool played = match_typed_move();
    if (played != (expected != 0))
        harness_fail(played ? "a move played that the text does not name"
                            : "a named legal move refused");
    if (played && (game_ply != 1 || game_history[0].move != expected))
        harness_fail("another move played than the one named");
    harness_check_position("after a typed move");
    return 0;
}
