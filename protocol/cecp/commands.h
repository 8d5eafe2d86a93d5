// The command language read on standard input, and the opponent's data the
// commands keep.
#pragma once

constexpr int OPPONENT_NAME_SIZE = 40;
constexpr int RESULT_WORD_SIZE = 24;

extern char opponent_name[OPPONENT_NAME_SIZE];
extern int opponent_rating;
extern int engine_rating;
extern bool opponent_is_computer;

// What a line's first word turned out to be.
enum class CommandOutcome {
    NOT_A_COMMAND,  // the line is a move attempt
    DONE,
    QUIT,  // `quit`, or the input ended inside edit mode
};

// Runs the command whose word equals `word` exactly, reading its arguments
// from `command_line`.
CommandOutcome run_command(const char* word);
// Ratings unknown, opponent not known to be a computer (a new game).
void reset_opponent_data();
