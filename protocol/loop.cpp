#include "protocol/loop.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "platform/platform.h"
#include "protocol/commands.h"
#include "protocol/game.h"
#include "protocol/gameend.h"
#include "protocol/movetext.h"
#include "protocol/thinking.h"
#include "search/search.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"
#include "version.h"

Side engine_side;
char command_line[COMMAND_LINE_SIZE];
char command_word[COMMAND_LINE_SIZE];

namespace {

LineReader line_reader = platform_read_line;

void print_whisper() {
    const long long elapsed_ms = clock_ms() - search_start_ms;
    const long long nps =
        elapsed_ms <= 0 ? 0
                        : static_cast<long long>(static_cast<double>(nodes) / elapsed_ms * 1000.0);
    std::printf("tellics whisper Depth:%d Score:%.2f Time:%.2f Nodes:%lld NPS:%lld PV:",
                completed_depth, last_score * 0.01, elapsed_ms * 0.001, nodes, nps);
    for (int i = 0; i < pv_length[0]; ++i) {
        print_move(pv_table[0][i]);
        std::printf(" ");
    }
    std::printf("\n");
}

void engine_turn() {
    // A board the engine cannot represent, or a game too long to record, is
    // not played on: the engine stops, as in force mode.
    if (!position_playable || game_record_full()) {
        engine_side = NO_SIDE;
        return;
    }
    compute_time_budget();
    think(false, side_to_move);
    if (pv_table[0][0] == 0) {
        engine_side = NO_SIDE;
        return;
    }
    // The search leaves a legal move in best_move whenever the root has one,
    // even when it was stopped within its first iteration.
    std::printf("move ");
    print_move(best_move);
    std::printf("\n");
    print_whisper();
    make_move(best_move);
    record_played_move();
    check_after_engine_move();
}

// Handles one line; false when the program is to end.
bool handle_line() {
    if (!first_word(command_line, command_word)) return true;
    switch (run_command(command_word)) {
        case CommandOutcome::QUIT: return false;
        case CommandOutcome::DONE: return true;
        case CommandOutcome::NOT_A_COMMAND: break;
    }
    match_typed_move();
    check_after_typed_move();
    return true;
}

}  // namespace

void set_line_reader(LineReader reader) { line_reader = reader; }

bool read_input_line(char* buffer, int size) { return line_reader(buffer, size); }

bool first_word(const char* line, char* word) {
    while (*line && std::isspace(static_cast<unsigned char>(*line))) ++line;
    int n = 0;
    while (line[n] && !std::isspace(static_cast<unsigned char>(line[n]))) {
        word[n] = line[n];
        ++n;
    }
    word[n] = '\0';
    return n > 0;
}

void start_engine() {
    std::printf("Welcome to Karvosel Version %s\n", ENGINE_VERSION);
    install_thinking_output();
    new_game();
    for (Move& killer : killer_move) killer = 0;
    for (auto& row : history_score)
        for (int& score : row) score = 0;
    reset_opponent_data();
    opponent_name[0] = '\0';
    board_representable = true;
    position_playable = true;
    init_keys();
    compute_position_key();
    tt_allocate();
    generate_moves();
    reset_clock_settings();
    engine_side = BLACK;
}

void run_loop() {
    for (;;) {
        if (side_to_move == engine_side) {
            engine_turn();
            continue;
        }
        if (!read_input_line(command_line, COMMAND_LINE_SIZE)) break;
        if (!handle_line()) break;
    }
    tt_release();
}
