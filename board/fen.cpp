#include "board/fen.h"

#include <cctype>

#include "board/keys.h"
#include "board/position.h"

namespace {

const char* skip_blanks(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

}  // namespace

bool load_fen(const char* fen) {
    const char* p = fen;
    for (Square s = 0; s < 64; ++s) board_color[s] = board_piece[s] = EMPTY;
    Square s = 0;
    for (; *p && *p != ' '; ++p) {
        if (*p == '/') continue;
        if (*p >= '1' && *p <= '8') {
            s += *p - '0';
            continue;
        }
        const PieceType piece =
            piece_of_letter(static_cast<char>(std::toupper(static_cast<unsigned char>(*p))));
        if (piece == EMPTY || s >= 64) return false;
        board_color[s] = std::isupper(static_cast<unsigned char>(*p)) ? WHITE : BLACK;
        board_piece[s] = piece;
        ++s;
    }
    if (s != 64) return false;
    p = skip_blanks(p);
    side_to_move = (*p == 'b') ? BLACK : WHITE;
    opponent_side = side_to_move ^ 1;
    if (*p) ++p;
    p = skip_blanks(p);
    castle_rights = 0;
    for (; *p && *p != ' '; ++p) {
        if (*p == 'K') castle_rights |= CASTLE_WHITE_KINGSIDE;
        if (*p == 'Q') castle_rights |= CASTLE_WHITE_QUEENSIDE;
        if (*p == 'k') castle_rights |= CASTLE_BLACK_KINGSIDE;
        if (*p == 'q') castle_rights |= CASTLE_BLACK_QUEENSIDE;
    }
    // A right stands only while king and rook stand on their home squares.
    const auto holds = [](Square sq, Side side, PieceType piece) {
        return board_color[sq] == side && board_piece[sq] == piece;
    };
    if (!holds(60, WHITE, KING) || !holds(63, WHITE, ROOK)) castle_rights &= ~CASTLE_WHITE_KINGSIDE;
    if (!holds(60, WHITE, KING) || !holds(56, WHITE, ROOK))
        castle_rights &= ~CASTLE_WHITE_QUEENSIDE;
    if (!holds(4, BLACK, KING) || !holds(7, BLACK, ROOK)) castle_rights &= ~CASTLE_BLACK_KINGSIDE;
    if (!holds(4, BLACK, KING) || !holds(0, BLACK, ROOK)) castle_rights &= ~CASTLE_BLACK_QUEENSIDE;
    p = skip_blanks(p);
    // An en-passant square stands only behind a pawn of the side not to move
    // that has just made its double step: on rank 6 with white to move, on
    // rank 3 with black to move, empty, with the pawn in front of it and its
    // starting square empty. Anywhere else the capturing pawn would stand off
    // the board, or the capture would remove something else than that pawn.
    ep_square = NO_SQUARE;
    const char ep_rank = side_to_move == WHITE ? '6' : '3';
    if (p[0] >= 'a' && p[0] <= 'h' && p[1] == ep_rank) {
        const Square ep = (p[0] - 'a') + 8 * ('8' - p[1]);
        const int forward = side_to_move == WHITE ? 8 : -8;  // towards the pawn
        if (board_color[ep] == EMPTY && board_color[ep - forward] == EMPTY &&
            holds(ep + forward, opponent_side, PAWN))
            ep_square = ep;
    }
    while (*p && *p != ' ') ++p;
    p = skip_blanks(p);
    halfmove_clock = 0;
    while (*p >= '0' && *p <= '9' && halfmove_clock < 10000)
        halfmove_clock = 10 * halfmove_clock + (*p++ - '0');

    ply = 0;
    ply_move_start[0] = 0;
    game_ply = 0;
    if (!rebuild_piece_bookkeeping()) return false;
    compute_position_key();
    return true;
}
