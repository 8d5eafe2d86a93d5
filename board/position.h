// The one position the engine works on, the game record, the per-ply move
// lists and the ordering tables, with the constant board tables.
#pragma once

#include <cstdint>

#include "board/bitboard.h"
#include "board/types.h"

// No square holds more than a queen's 27 moves, so no position yields more than
// 64 * 27 pseudo-legal moves; every ply's list fits behind its parent's.
constexpr int MAX_MOVES_PER_POSITION = 64 * 27;
constexpr int MOVE_STACK_SIZE = MAX_PLY * MAX_MOVES_PER_POSITION;
// Enough for any game: a game that long has stood without a capture or pawn
// move far beyond the fifty-move rule many times over.
constexpr int GAME_HISTORY_SIZE = 12000;

// Whether the side to move is in check, once asked: CHECK_UNKNOWN after a
// set-up or a move; take_back restores what was known before the move.
constexpr int CHECK_UNKNOWN = -1;

// The position the engine works on: the board tables and everything kept
// with them. Copying it saves the whole position; copying it back restores it.
struct Position {
    int board_color[64];
    int board_piece[64];
    // The squares each side holds, kept with the board tables by every change to them.
    Bitboard side_squares[2];
    Side side_to_move;
    Side opponent_side;
    int castle_rights;
    Square ep_square;
    int halfmove_clock;
    // Always the key of the current position: every set-up computes it and
    // make_move / take_back keep it.
    std::uint32_t position_key;
    Square king_square[2];
    Square pawn_squares[2][8];
    // The squares of pawn_squares as sets, kept with the lists.
    Bitboard pawn_sets[2];
    // The squares holding each kind of piece, both sides together, kept with
    // the board tables like side_squares.
    Bitboard piece_sets[6];
    int pawn_material[2];
    int piece_material[2];
    int total_material[2];
    int check_state = CHECK_UNKNOWN;

    bool operator==(const Position&) const = default;
};
extern Position position;

// ---- search and game bookkeeping ----
extern int ply;
extern UndoRecord undo_stack[MAX_PLY + 1];
extern int game_ply;
extern UndoRecord game_history[GAME_HISTORY_SIZE];
extern ScoredMove move_stack[MOVE_STACK_SIZE];
extern int ply_move_start[MAX_PLY + 1];
extern int ply_move_end[MAX_PLY + 1];

// The search's move-ordering tables, which move generation reads as
// ordering scores.
struct OrderingTables {
    Move killer_move[MAX_PLY + 1];
    int history_score[64][64];
};
extern OrderingTables ordering;

// ---- constant tables ----
extern const int piece_value[6];
extern const int frame_to_square[120];
extern const int square_to_frame[64];
extern const int piece_slides[6];
extern const int direction_count[6];
extern const int piece_directions[6][8];
extern const int castle_keep_mask[64];
extern const int start_color[64];
extern const int start_piece[64];
extern const char piece_letters[7];

// The piece named by an upper-case letter of piece_letters, EMPTY for any other character.
PieceType piece_of_letter(char letter);

// Sets up the starting position, with its key, and empties the game record.
void new_game();

// Rebuilds the side sets, king squares, pawn lists and material sums from the board tables.
// Returns false when the board cannot be represented: a side without exactly
// one king, more than eight pawns of a side, or a pawn on its first or last rank.
bool rebuild_piece_bookkeeping();

// Every invariant of the position state holds (for tests and debug asserts).
bool position_is_consistent();
