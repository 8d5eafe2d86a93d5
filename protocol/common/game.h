// The game as the front end keeps it: moves played at the board enter the
// game record, and can be taken back from it.
#pragma once

// False while the board cannot be played on: edit mode has set up a board the
// engine cannot represent (a side without exactly one king, a ninth pawn, a
// pawn on its first or last rank), or the side not to move is in check (after
// an edit, or after `white` or `black` gave the move to the side that attacks
// the other king). Nothing is searched or played until `new`, a sound edit or
// a change of side that makes it sound.
extern bool position_playable;
// False after edit mode has set up a board the engine cannot represent.
extern bool board_representable;

// Sets position_playable for the board and the side to move.
void update_position_playable();

// The game record has no room for another move.
bool game_record_full();
// Moves the move just made at ply 0 into the game record and generates the
// list of ply 0 for the side now to move.
void record_played_move();
// Takes the last move of the game record back (the caller checks that there is one).
void take_back_game_move();
