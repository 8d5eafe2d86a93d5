#include "protocol/cecp/edit.h"

#include <cstring>

#include "board/fen.h"
#include "board/keys.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "protocol/cecp/loop.h"
#include "protocol/common/game.h"

bool edit_position() {
    Side place_color = WHITE;
    PieceType place_piece = EMPTY;
    // Setting up a board ends the game's history: no castling, no en passant.
    position.castle_rights = 0;
    position.ep_square = NO_SQUARE;
    position.halfmove_clock = 0;
    ply = 0;
    ply_move_start[0] = 0;
    game_ply = 0;

    char line[COMMAND_LINE_SIZE];
    char word[COMMAND_LINE_SIZE];
    bool input_open = true;
    for (;;) {
        if (!read_input_line(line, COMMAND_LINE_SIZE)) {
            input_open = false;
            break;
        }
        if (!first_word(line, word)) continue;
        if (std::strcmp(word, "#") == 0) {
            for (Square s = 0; s < 64; ++s)
                position.board_color[s] = position.board_piece[s] = EMPTY;
        } else if (std::strcmp(word, "quit") == 0 || std::strcmp(word, ".") == 0) {
            break;
        } else if (std::strcmp(word, "c") == 0) {
            place_color ^= 1;
        } else {
            const PieceType piece = piece_of_letter(word[0]);
            if (piece != EMPTY) place_piece = piece;
            // A placement before any piece letter, or one naming no square, is ignored.
            const Square square = parse_square(word + 1);
            if (place_piece != EMPTY && square != NO_SQUARE) {
                position.board_color[square] = place_color;
                position.board_piece[square] = place_piece;
            }
        }
    }
    compute_position_key();
    const SetupResult setup = setup_fault();
    board_representable = setup != SetupResult::UNREPRESENTABLE;
    position_playable = setup == SetupResult::PLAYABLE;
    generate_moves();
    return input_open;
}
