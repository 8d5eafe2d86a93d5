#include "protocol/cecp/loop.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "platform/platform.h"
#include "protocol/cecp/commands.h"
#include "protocol/cecp/gameend.h"
#include "protocol/cecp/movetext.h"
#include "protocol/cecp/thinking.h"
#include "protocol/common/game.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"
#include "version.h"

Side engine_side;
char command_line[COMMAND_LINE_SIZE];
char command_word[COMMAND_LINE_SIZE];

namespace {

LineReader line_reader = platform_read_line;

void print_whisper(const SearchResult& result) {
    const long long elapsed_ms = clock_ms() - result.search_start_ms;
    const long long nps =
        elapsed_ms <= 0
            ? 0
            : static_cast<long long>(static_cast<double>(result.nodes) / elapsed_ms * 1000.0);
    std::printf("tellics whisper Depth:%d Score:%.2f Time:%.2f Nodes:%lld NPS:%lld PV:",
                result.completed_depth, result.last_score * 0.01, elapsed_ms * 0.001, result.nodes,
                nps);
    for (const Move move : result.pv) {
        print_move(move);
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
    set_clock_limits();
    const SearchResult& result = think();
    // The search leaves a legal move whenever the root has one, even when it
    // was stopped within its first iteration.
    if (result.best_move == 0) {
        engine_side = NO_SIDE;
        return;
    }
    std::printf("move ");
    print_move(result.best_move);
    std::printf("\n");
    print_whisper(result);
    make_move(result.best_move);
    record_played_move();
    check_after_engine_move();
}

// Handles one line; false when the program is to end.
bool handle_line() {
    if (!first_word(command_line, command_word)) return true;
    switch (run_command(command_word)) {
        case CommandOutcome::QUIT:
            return false;
        case CommandOutcome::DONE:
            return true;
        case CommandOutcome::NOT_A_COMMAND:
            break;
    }
    match_typed_move();
    check_after_typed_move();
    return true;
}

}  // namespace

void allocate_table() {
    const TTSize size = tt_allocate();
    if (size.entries == 0) {
        std::printf("Not enough memory for transposition table\n");
        return;
    }
    std::printf("Transpositional table:\nEntries = %dK\nSize    = %dK\n\n",
                static_cast<int>(size.entries / 1024), static_cast<int>(size.bytes / 1024));
}

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
    search_clear();
    reset_opponent_data();
    opponent_name[0] = '\0';
    board_representable = true;
    position_playable = true;
    init_keys();
    compute_position_key();
    allocate_table();
    generate_moves();
    clock_settings = ClockSettings{};
    engine_side = BLACK;
}

void run_loop() {
    for (;;) {
        if (position.side_to_move == engine_side) {
            engine_turn();
            continue;
        }
        if (!read_input_line(command_line, COMMAND_LINE_SIZE)) break;
        if (!handle_line()) break;
    }
    tt_release();
}
