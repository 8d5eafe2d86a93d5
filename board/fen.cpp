#include "board/fen.h"

#include <cctype>
#include <cstring>

#include "board/attack.h"
#include "board/keys.h"
#include "board/notation.h"
#include "board/position.h"

namespace {

// Longer half-move clocks and move numbers are refused as malformed.
constexpr int MAX_COUNTER_DIGITS = 5;

// A position as read from the text, before it replaces the current one.
struct FenFields {
    int color[64];
    int piece[64];
    Side side;
    int castle;
    Square ep;
    int halfmove;
};

// What a refused set-up must leave as it was: the position, and the game
// record's length, the search ply and the start of the root's list.
struct SavedPosition {
    Position position;
    int game_length;
    int search_ply;
    int first_move;
};

SavedPosition save_position() { return {position, game_ply, ply, ply_move_start[0]}; }

void restore_position(const SavedPosition& saved) {
    position = saved.position;
    game_ply = saved.game_length;
    ply = saved.search_ply;
    ply_move_start[0] = saved.first_move;
}

// The next blank-separated field of the text, or an empty one at its end.
struct Field {
    const char* text;
    int length;
};

Field next_field(const char*& p) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    return {start, static_cast<int>(p - start)};
}

bool field_is(Field field, const char* text) {
    return field.length == static_cast<int>(std::strlen(text)) &&
           std::strncmp(field.text, text, field.length) == 0;
}

// Eight ranks from the eighth, each of exactly eight squares; a digit counts
// empty squares and never follows another digit.
bool read_placement(Field field, FenFields* fen) {
    Square s = 0;
    int rank_squares = 0;
    bool after_digit = false;
    for (int i = 0; i < field.length; ++i) {
        const char c = field.text[i];
        if (c == '/') {
            if (rank_squares != 8 || s == 64) return false;
            rank_squares = 0;
            after_digit = false;
            continue;
        }
        if (c >= '1' && c <= '8') {
            const int run = c - '0';
            if (after_digit || rank_squares + run > 8) return false;
            for (int k = 0; k < run; ++k) fen->color[s + k] = fen->piece[s + k] = EMPTY;
            s += run;
            rank_squares += run;
            after_digit = true;
            continue;
        }
        const PieceType piece =
            piece_of_letter(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        if (piece == EMPTY || rank_squares == 8) return false;
        fen->color[s] = std::isupper(static_cast<unsigned char>(c)) ? WHITE : BLACK;
        fen->piece[s] = piece;
        ++s;
        ++rank_squares;
        after_digit = false;
    }
    return s == 64 && rank_squares == 8;
}

// "-" or each of K, Q, k, q at most once.
bool read_castling(Field field, int* rights) {
    *rights = 0;
    if (field_is(field, "-")) return true;
    if (field.length == 0) return false;
    for (int i = 0; i < field.length; ++i) {
        const char* letters = "KQkq";
        const char* found = std::strchr(letters, field.text[i]);
        if (found == nullptr) return false;
        const int right = 1 << (found - letters);
        if (*rights & right) return false;
        *rights |= right;
    }
    return true;
}

// A right stands only while king and rook stand on their home squares.
int rights_that_stand(const FenFields& fen, int rights) {
    const auto holds = [&fen](Square sq, Side side, PieceType piece) {
        return fen.color[sq] == side && fen.piece[sq] == piece;
    };
    if (!holds(60, WHITE, KING) || !holds(63, WHITE, ROOK)) rights &= ~CASTLE_WHITE_KINGSIDE;
    if (!holds(60, WHITE, KING) || !holds(56, WHITE, ROOK)) rights &= ~CASTLE_WHITE_QUEENSIDE;
    if (!holds(4, BLACK, KING) || !holds(7, BLACK, ROOK)) rights &= ~CASTLE_BLACK_KINGSIDE;
    if (!holds(4, BLACK, KING) || !holds(0, BLACK, ROOK)) rights &= ~CASTLE_BLACK_QUEENSIDE;
    return rights;
}

// "-" or a square. It stands only where a pawn of the side not to move has
// just passed it: on the sixth rank with white to move, the third with
// black, empty, with that pawn one rank beyond it and its start square
// empty; any other square is dropped, since no capture can take it.
bool read_en_passant(Field field, const FenFields& fen, Square* ep) {
    *ep = NO_SQUARE;
    if (field_is(field, "-")) return true;
    if (field.length != 2) return false;
    const char text[3] = {field.text[0], field.text[1], '\0'};
    const Square square = parse_square(text);
    if (square == NO_SQUARE) return false;
    const int row = fen.side == WHITE ? 2 : 5;  // rows count from the eighth rank
    const int toward_pawn = fen.side == WHITE ? 8 : -8;
    if (row_of(square) != row) return true;
    const Square pawn = square + toward_pawn;
    const Square start = square - toward_pawn;
    if (fen.piece[square] != EMPTY || fen.piece[start] != EMPTY) return true;
    if (fen.piece[pawn] != PAWN || fen.color[pawn] != (fen.side ^ 1)) return true;
    *ep = square;
    return true;
}

// An optional counter: absent, or one to MAX_COUNTER_DIGITS decimal digits.
bool read_counter(Field field, int* value) {
    if (field.length == 0) return true;
    if (field.length > MAX_COUNTER_DIGITS) return false;
    int n = 0;
    for (int i = 0; i < field.length; ++i) {
        if (field.text[i] < '0' || field.text[i] > '9') return false;
        n = 10 * n + (field.text[i] - '0');
    }
    *value = n;
    return true;
}

bool parse_fen(const char* text, FenFields* fen) {
    const char* p = text;
    if (!read_placement(next_field(p), fen)) return false;
    const Field side = next_field(p);
    if (field_is(side, "w"))
        fen->side = WHITE;
    else if (field_is(side, "b"))
        fen->side = BLACK;
    else
        return false;
    int rights = 0;
    if (!read_castling(next_field(p), &rights)) return false;
    fen->castle = rights_that_stand(*fen, rights);
    if (!read_en_passant(next_field(p), *fen, &fen->ep)) return false;
    fen->halfmove = 0;
    int move_number = 1;
    if (!read_counter(next_field(p), &fen->halfmove)) return false;
    if (!read_counter(next_field(p), &move_number)) return false;
    return next_field(p).length == 0;
}

}  // namespace

SetupResult setup_fault() {
    if (!rebuild_piece_bookkeeping()) return SetupResult::UNREPRESENTABLE;
    if (in_check(position.opponent_side)) return SetupResult::SIDE_NOT_TO_MOVE_IN_CHECK;
    return SetupResult::PLAYABLE;
}

SetupResult read_fen(const char* text, bool playable_only) {
    FenFields fen;
    if (!parse_fen(text, &fen)) return SetupResult::MALFORMED;

    const SavedPosition saved = save_position();
    std::memcpy(position.board_color, fen.color, sizeof position.board_color);
    std::memcpy(position.board_piece, fen.piece, sizeof position.board_piece);
    position.side_to_move = fen.side;
    position.opponent_side = fen.side ^ 1;
    position.castle_rights = fen.castle;
    position.ep_square = fen.ep;
    position.halfmove_clock = fen.halfmove;
    SetupResult fault = setup_fault();
    if (fault == SetupResult::SIDE_NOT_TO_MOVE_IN_CHECK && !playable_only)
        fault = SetupResult::PLAYABLE;
    if (fault != SetupResult::PLAYABLE) {
        restore_position(saved);
        return fault;
    }
    ply = 0;
    ply_move_start[0] = 0;
    game_ply = 0;
    compute_position_key();
    return SetupResult::PLAYABLE;
}

bool load_fen(const char* fen) { return read_fen(fen, false) == SetupResult::PLAYABLE; }
