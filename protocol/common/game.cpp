#include "protocol/common/game.h"

#include "board/attack.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"

bool position_playable = true;
bool board_representable = true;

void update_position_playable() {
    // A king may not stand in check while the other side is to move.
    position_playable = board_representable && !in_check(position.opponent_side);
}

bool game_record_full() { return game_ply >= GAME_HISTORY_SIZE; }

void record_played_move() {
    game_history[game_ply++] = undo_stack[0];
    ply = 0;
    generate_moves();
}

void take_back_game_move() {
    undo_stack[0] = game_history[--game_ply];
    ply = 1;
    take_back();
}
