#include "protocol/cecp/movetext.h"

#include <cstdio>

#include "board/makemove.h"
#include "board/notation.h"
#include "board/position.h"
#include "protocol/cecp/loop.h"
#include "protocol/common/game.h"

static PieceType promotion_from_letter(char letter) {
    switch (letter) {
        case 'n':
            return KNIGHT;
        case 'b':
            return BISHOP;
        case 'r':
            return ROOK;
        default:
            return QUEEN;
    }
}

// Finds the named move in the list of ply 0; 0 when there is none.
static Move find_typed_move() {
    const Square from = parse_square(command_line);
    if (from == NO_SQUARE) return 0;
    const Square to = parse_square(command_line + 2);
    if (to == NO_SQUARE) return 0;
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        const Move move = move_stack[i].move;
        if (move_from(move) != from || move_to(move) != to) continue;
        if (!(move_flags(move) & MOVE_PROMOTE)) return move;
        // The four promotions of one pawn move differ only in the new piece.
        return (move & ~0xff0000u) | static_cast<Move>(promotion_from_letter(command_line[4]))
                                         << 16;
    }
    return 0;
}

bool match_typed_move() {
    const Move move = position_playable && !game_record_full() ? find_typed_move() : 0;
    if (move != 0 && make_move(move)) {
        record_played_move();
        return true;
    }
    std::printf("Error (unknown command): %s\n", command_word);
    return false;
}
