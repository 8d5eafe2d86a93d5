// libFuzzer target for edit mode: the input is the lines that follow `edit`,
// from the starting position. The board it leaves is compared with the
// placements carried out here by the rules of edit mode ("#" empties the
// board, "c" switches the colour, "." or "quit" ends, any other word places
// the piece of its first letter, or of the last letter known, on the square
// of its next two characters); whatever the board, the position the engine
// keeps must stay sound, and every move of a playable one can be made and
// taken back.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "board/position.h"
#include "eval/eval.h"
#include "fuzz/harness.h"
#include "protocol/cecp/display.h"
#include "protocol/cecp/edit.h"
#include "protocol/cecp/loop.h"
#include "protocol/common/game.h"

namespace {

struct Board {
    int color[64];
    int piece[64];
};

int reference_piece(char letter) {
    const char* const letters = "PNBRQK";
    const char* found = letter ? std::strchr(letters, letter) : nullptr;
    return found ? static_cast<int>(found - letters) : EMPTY;
}

// The board after the edit-mode lines of the input, from `board`.
void reference_edit(Board& board) {
    int colour = WHITE;
    int piece = EMPTY;
    char line[COMMAND_LINE_SIZE];
    while (harness_read_line(line, COMMAND_LINE_SIZE)) {
        const char* p = line;
        while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
        std::size_t length = 0;
        while (p[length] && !std::isspace(static_cast<unsigned char>(p[length]))) ++length;
        if (length == 0) continue;
        const auto is = [&](const char* word) {
            return length == std::strlen(word) && std::strncmp(p, word, length) == 0;
        };
        if (is("#")) {
            for (int s = 0; s < 64; ++s) board.color[s] = board.piece[s] = EMPTY;
        } else if (is(".") || is("quit")) {
            return;
        } else if (is("c")) {
            colour ^= 1;
        } else {
            if (reference_piece(p[0]) != EMPTY) piece = reference_piece(p[0]);
            if (length >= 3 && p[1] >= 'a' && p[1] <= 'h' && p[2] >= '1' && p[2] <= '8' &&
                piece != EMPTY) {
                const int s = (p[1] - 'a') + 8 * ('8' - p[2]);
                board.color[s] = colour;
                board.piece[s] = piece;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    harness_initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    harness_set_input(data, size);
    harness_start_engine();
    Board expected;
    std::memcpy(expected.color, position.board_color, sizeof expected.color);
    std::memcpy(expected.piece, position.board_piece, sizeof expected.piece);
    reference_edit(expected);

    harness_set_input(data, size);
    edit_position();
    if (std::memcmp(expected.color, position.board_color, sizeof expected.color) != 0 ||
        std::memcmp(expected.piece, position.board_piece, sizeof expected.piece) != 0)
        harness_fail("the edited board is not the board the placements make");
    if (position.castle_rights != 0 || position.ep_square != NO_SQUARE || game_ply != 0 || ply != 0)
        harness_fail("edit mode kept some of the game's history");
    print_board();
    if (!board_representable) return 0;
    harness_check_position("after edit mode");
    if (!position_playable) return 0;
    harness_check_moves_of_ply0("a move from an edited position");
    evaluate(-MATE_SCORE, MATE_SCORE);
    return 0;
}
