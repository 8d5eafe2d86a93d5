// Repetitions as the rules of the game, and so the hosts, count them. Two
// positions repeat when the same pieces stand on the same squares with the
// same side to move, the same castling rights and the same en-passant
// captures possible. The engine's keys also tell apart an en-passant square
// that no pawn can take on, so the position after a double pawn step that
// allows no capture repeats for the rules where it does not for the search:
// a line the engine reports must end where the rules say the game is drawn.
#pragma once

#include <cstdint>

// The key of the position as the rules compare positions: the engine's key
// without its en-passant part when no capture en passant is legal. May
// generate the moves of the current ply.
std::uint32_t rule_key();

// The game's positions, kept beside the game record: called for the position
// just set up (game ply 0) and after each move played into the record.
void record_rule_key();

// How often the current position, reached `line_count` moves into a line from
// the game's position, stood before in the game or on the line; `line_keys`
// holds the rule keys of the line's positions after each of its moves, the
// current one last.
int rule_repetitions(const std::uint32_t* line_keys, int line_count);
