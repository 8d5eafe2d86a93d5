#include "board/notation.h"

#include <cstdio>

static char square_file(Square square) { return static_cast<char>('a' + file_of(square)); }
static char square_rank(Square square) { return static_cast<char>('8' - row_of(square)); }

void format_move(Move move, char (&text)[MOVE_TEXT_SIZE]) {
    const Square from = move_from(move);
    const Square to = move_to(move);
    int length = 0;
    text[length++] = square_file(from);
    text[length++] = square_rank(from);
    text[length++] = square_file(to);
    text[length++] = square_rank(to);
    if (move_flags(move) & MOVE_PROMOTE) {
        const PieceType promotion = move_promotion(move);
        text[length++] = promotion == KNIGHT   ? 'n'
                         : promotion == BISHOP ? 'b'
                         : promotion == ROOK   ? 'r'
                                               : 'q';
    }
    text[length] = '\0';
}

void print_move(Move move) {
    char text[MOVE_TEXT_SIZE];
    format_move(move, text);
    std::fputs(text, stdout);
}

Square parse_square(const char* text) {
    if (text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8') return NO_SQUARE;
    return (text[0] - 'a') + 8 * ('8' - text[1]);
}
