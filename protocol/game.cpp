#include "protocol/game.h"

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"

bool position_playable = true;

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
