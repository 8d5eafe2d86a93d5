// The input of karvosel-uci: lines of standard input, read on a thread of
// their own into a queue, so that the engine hears `stop`, `quit` and
// `isready` while it searches. The reading thread only queues lines (and
// raises stop_requested for `stop` and `quit`); everything else happens on
// the engine's thread, which alone takes lines from the queue.
#pragma once

#include <string>

// Lines longer than this are dropped; no command of the protocol comes near it
// (a `position` with a whole game's moves takes about 60000 characters).
constexpr std::size_t MAX_INPUT_LINE = 1 << 18;

struct InputLine {
    std::string text;       // without its line break (and a carriage return before it)
    bool overlong = false;  // the line was longer than MAX_INPUT_LINE; text is empty
};

// Whether the first word of `text` is `word`.
bool is_command(const std::string& text, const char* word);

// Starts the thread that reads standard input to its end.
void start_input_thread();

// The feeding side, for the thread and for harnesses that supply the lines
// themselves: appends a line, or marks the end of the input.
void queue_input_line(InputLine line);
void queue_end_of_input();
// Empties the queue and forgets the end of input (a harness's next run).
void reset_input();

// The engine's side. Waits for the next line; false once the input has ended
// and every line has been taken.
bool next_input_line(InputLine* line);
// Without waiting and without a lock unless lines are queued: the first
// queued line, if any.
bool peek_input_line(InputLine* line);
// Drops the first queued line (after peek_input_line found one).
void drop_input_line();
// The input has ended and no line is left.
bool input_exhausted();
