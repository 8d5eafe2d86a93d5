// Shared value types of the engine: squares, sides, pieces, moves and the
// records that travel between the board, the search and the front end.
#pragma once

#include <cstdint>

// Squares run from 0 (a8) to 63 (h1), rank 8 first.
using Square = int;
using Side = int;
using PieceType = int;
// from + 256 * to + 65536 * promotion + 16777216 * flags, compared as a whole word.
using Move = std::uint32_t;

constexpr Side WHITE = 0;
constexpr Side BLACK = 1;
constexpr Side NO_SIDE = 6;

constexpr PieceType PAWN = 0;
constexpr PieceType KNIGHT = 1;
constexpr PieceType BISHOP = 2;
constexpr PieceType ROOK = 3;
constexpr PieceType QUEEN = 4;
constexpr PieceType KING = 5;
// An empty square, in both board tables.
constexpr int EMPTY = 6;

constexpr Square NO_SQUARE = -1;

constexpr int MOVE_CAPTURE = 1;
constexpr int MOVE_CASTLE = 2;
constexpr int MOVE_EN_PASSANT = 4;
constexpr int MOVE_PAWN_DOUBLE = 8;
constexpr int MOVE_PAWN = 16;
constexpr int MOVE_PROMOTE = 32;

constexpr int MAX_PLY = 32;
constexpr int MATE_SCORE = 10000;
constexpr int MATE_THRESHOLD = 9000;

constexpr int CASTLE_WHITE_KINGSIDE = 1;
constexpr int CASTLE_WHITE_QUEENSIDE = 2;
constexpr int CASTLE_BLACK_KINGSIDE = 4;
constexpr int CASTLE_BLACK_QUEENSIDE = 8;

constexpr Move encode_move(Square from, Square to, PieceType promotion, int flags) {
    return static_cast<Move>(from) | static_cast<Move>(to) << 8 |
           static_cast<Move>(promotion) << 16 | static_cast<Move>(flags) << 24;
}
constexpr Square move_from(Move m) { return static_cast<Square>(m & 0xff); }
constexpr Square move_to(Move m) { return static_cast<Square>((m >> 8) & 0xff); }
constexpr PieceType move_promotion(Move m) { return static_cast<PieceType>((m >> 16) & 0xff); }
constexpr int move_flags(Move m) { return static_cast<int>(m >> 24); }

constexpr int file_of(Square s) { return s & 7; }
constexpr int row_of(Square s) { return s >> 3; }

// A move with its ordering score.
struct ScoredMove {
    Move move;
    int score;
};

// What a move changed, so that it can be taken back; `key` is the key of the
// position the move led to, `previous_key` the key of the one it left.
struct UndoRecord {
    Move move;
    int captured;
    int castle_rights;
    int ep_square;
    int halfmove_clock;
    int check_state;
    std::uint32_t previous_key;
    std::uint32_t key;
};
