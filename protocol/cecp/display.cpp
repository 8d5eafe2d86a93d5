#include "protocol/cecp/display.h"

#include <cstdio>

#include "board/position.h"
#include "protocol/cecp/commands.h"

void print_board() {
    if (opponent_rating >= 0) {
        std::printf("Opponent:%s (%ld) - ", opponent_name, static_cast<long>(opponent_rating));
        std::printf(opponent_is_computer ? "Computer\n" : "Human\n");
    }
    std::printf("\n8 ");
    for (Square s = 0; s < 64; ++s) {
        if (position.board_color[s] == WHITE)
            std::printf(" %c", piece_letters[position.board_piece[s]]);
        else if (position.board_color[s] == BLACK)
            std::printf(" %c", piece_letters[position.board_piece[s]] + 32);
        else
            std::printf(" .");
        if ((s + 1) % 8 == 0 && s != 63) std::printf("\n%d ", 7 - s / 8);
    }
    std::printf("\n\n   a b c d e f g h\n\n");
}
