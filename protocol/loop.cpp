#include "protocol/loop.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "board/keys.h"
#include "board/movegen.h"
#include "board/position.h"
#include "protocol/movetext.h"

Side engine_side;
char command_line[COMMAND_LINE_SIZE];
char command_word[COMMAND_LINE_SIZE];

static bool read_standard_input(char* buffer, int size) {
    return std::fgets(buffer, size, stdin) != nullptr;
}

static LineReader line_reader = read_standard_input;

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
    std::printf("Welcome to Karvosel Version %s\n", "1.12");
    new_game();
    init_keys();
    generate_moves();
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    engine_side = BLACK;
}

void run_loop() {
    while (read_input_line(command_line, COMMAND_LINE_SIZE)) {
        if (!first_word(command_line, command_word)) continue;
        if (std::strcmp(command_word, "quit") == 0) return;
        match_typed_move();
    }
}
