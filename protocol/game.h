// The game as the front end keeps it: moves played at the board enter the
// game record, and can be taken back from it.
#pragma once

// False after edit mode has set up a board the engine cannot represent (a side
// without exactly one king, a ninth pawn, a pawn on its first or last rank, or
// the side not to move in check); nothing is searched or played until `new`
// or a sound edit.
extern bool position_playable;

// The game record has no room for another move.
bool game_record_full();
// Moves the move just made at ply 0 into the game record and generates the
// list of ply 0 for the side now to move.
void record_played_move();
// Takes the last move of the game record back (the caller checks that there is one).
void take_back_game_move();
