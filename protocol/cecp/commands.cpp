#include "protocol/cecp/commands.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "board/keys.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "protocol/cecp/display.h"
#include "protocol/cecp/edit.h"
#include "protocol/cecp/loop.h"
#include "protocol/cecp/scan.h"
#include "protocol/common/game.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"

char opponent_name[OPPONENT_NAME_SIZE];
int opponent_rating = -1;
int engine_rating = -1;
bool opponent_is_computer = false;

void reset_opponent_data() {
    opponent_rating = -1;
    engine_rating = -1;
    opponent_is_computer = false;
}

namespace {

// The hint is searched for one second.
constexpr int HINT_SECONDS = 1;

int read_number_or_keep(const char* word, int value) {
    int* const targets[] = {&value};
    scan_numbers(command_line, word, targets, 1);
    return value;
}

// The protocol gives times in centiseconds; they are kept in milliseconds.
// Without a number the clock keeps the time it has.
void read_centiseconds_as_ms(const char* word, long long* clock_ms) {
    int centiseconds = 0;
    int* const targets[] = {&centiseconds};
    if (scan_numbers(command_line, word, targets, 1) == 1) *clock_ms = 10LL * centiseconds;
}

void set_side_to_move(Side side) {
    // The en-passant square is the capture square of the side to move; handed
    // to the other side, its pawns would take onto an empty square and taking
    // that back would leave a pawn of the double-stepping side there.
    if (side != position.side_to_move) position.ep_square = NO_SQUARE;
    position.side_to_move = side;
    position.opponent_side = side ^ 1;
    compute_position_key();
    game_ply = 0;
    ply = 0;
    generate_moves();
    engine_side = side ^ 1;
    update_position_playable();
}

void command_new() {
    new_game();
    reset_opponent_data();
    board_representable = true;
    position_playable = true;
    generate_moves();
    engine_side = BLACK;
    allocate_table();
}

void command_hint() {
    if (!position_playable) return;
    set_clock_limits();
    search_limits.time_budget = HINT_SECONDS;
    search_limits.report_iterations = false;
    const SearchResult& result = think();
    if (result.best_move == 0) return;
    std::printf("Hint: ");
    print_move(result.latest_root_move);
    std::printf("\n");
}

void command_undo() {
    if (game_ply == 0) return;
    take_back_game_move();
    generate_moves();
}

void command_remove() {
    if (game_ply < 2) return;
    take_back_game_move();
    take_back_game_move();
    generate_moves();
}

void command_level() {
    ClockSettings& c = clock_settings;
    int* const targets[] = {&c.level_moves, &c.level_base, &c.level_increment};
    scan_numbers(command_line, "level", targets, 3);
    c.max_depth = TIMED_MAX_DEPTH;
    c.time_budget = NO_TIME_LIMIT;
    c.clock_mode = true;
}

void command_result() {
    char result_word[RESULT_WORD_SIZE];
    scan_word(command_line, "result", result_word, RESULT_WORD_SIZE);
    engine_side = NO_SIDE;
}

void command_ml() {
    for (int i = 0; i < game_ply; ++i) {
        std::printf("%ld.", static_cast<long>(i));
        print_move(game_history[i].move);
        std::printf("\n");
    }
}

void command_rating() {
    int* const targets[] = {&engine_rating, &opponent_rating};
    scan_numbers(command_line, "rating", targets, 2);
}

// Prints the command table as two columns.
void command_help();

struct Command {
    const char* word;
    CommandOutcome (*run)();
};

// clang-format off
// Compared in this order; a word matches only when it is the command word exactly.
constexpr Command commands[] = {
    {"new", [] { command_new(); return CommandOutcome::DONE; }},
    {"quit", [] { return CommandOutcome::QUIT; }},
    {"force", [] { engine_side = NO_SIDE; return CommandOutcome::DONE; }},
    {"white", [] { set_side_to_move(WHITE); return CommandOutcome::DONE; }},
    {"black", [] { set_side_to_move(BLACK); return CommandOutcome::DONE; }},
    {"st", [] {
         clock_settings.time_budget = read_number_or_keep("st", clock_settings.time_budget);
         if (clock_settings.time_budget < 1) clock_settings.time_budget = 1;
         clock_settings.max_depth = TIMED_MAX_DEPTH;
         clock_settings.clock_mode = false;
         return CommandOutcome::DONE;
     }},
    {"sd", [] {
         clock_settings.max_depth = read_number_or_keep("sd", clock_settings.max_depth);
         if (clock_settings.max_depth < 1) clock_settings.max_depth = 1;
         clock_settings.time_budget = NO_TIME_LIMIT;
         return CommandOutcome::DONE;
     }},
    {"go", [] { engine_side = position.side_to_move; return CommandOutcome::DONE; }},
    {"hint", [] { command_hint(); return CommandOutcome::DONE; }},
    {"undo", [] { command_undo(); return CommandOutcome::DONE; }},
    {"remove", [] { command_remove(); return CommandOutcome::DONE; }},
    {"board", [] { print_board(); return CommandOutcome::DONE; }},
    {"edit", [] { return edit_position() ? CommandOutcome::DONE : CommandOutcome::QUIT; }},
    {"time", [] {
         read_centiseconds_as_ms("time", &clock_settings.engine_time_ms);
         return CommandOutcome::DONE;
     }},
    {"otim", [] {
         read_centiseconds_as_ms("otim", &clock_settings.opponent_time_ms);
         return CommandOutcome::DONE;
     }},
    {"level", [] { command_level(); return CommandOutcome::DONE; }},
    {"result", [] { command_result(); return CommandOutcome::DONE; }},
    {"ml", [] { command_ml(); return CommandOutcome::DONE; }},
    {"name", [] {
         scan_word(command_line, "name", opponent_name, OPPONENT_NAME_SIZE);
         return CommandOutcome::DONE;
     }},
    {"rating", [] { command_rating(); return CommandOutcome::DONE; }},
    {"computer", [] { opponent_is_computer = true; return CommandOutcome::DONE; }},
    {"help", [] { command_help(); return CommandOutcome::DONE; }},
};
// clang-format on

// The command words in two columns, the first half of the table on the left.
void command_help() {
    constexpr std::size_t count = std::size(commands);
    constexpr std::size_t rows = (count + 1) / 2;
    std::printf("\n Command list\n==============\n");
    for (std::size_t i = 0; i < rows; ++i) {
        if (i + rows < count)
            std::printf("%-14s%s\n", commands[i].word, commands[i + rows].word);
        else
            std::printf("%s\n", commands[i].word);
    }
    std::printf("\n");
}

}  // namespace

CommandOutcome run_command(const char* word) {
    for (const Command& command : commands)
        if (std::strcmp(word, command.word) == 0) return command.run();
    return CommandOutcome::NOT_A_COMMAND;
}
