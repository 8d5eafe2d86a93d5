// A game record that has no room for another move: the front end refuses typed
// moves and stops the engine instead of writing past the record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/position.h"
#include "protocol/cecp/loop.h"
#include "search/tt.h"

namespace {

const char* script[8];
int next_line;

bool read_script(char* buffer, int size) {
    const char* line = script[next_line];
    if (line == nullptr) return false;
    ++next_line;
    std::strncpy(buffer, line, size - 1);
    buffer[size - 1] = '\0';
    return true;
}

// Starts the engine with a full game record (whose entries are never read
// here), runs the given lines and returns what followed the table report.
std::string run_with_full_record(std::initializer_list<const char*> lines) {
    tt_set_size(10);
    testing::internal::CaptureStdout();
    start_engine();
    game_ply = GAME_HISTORY_SIZE;
    next_line = 0;
    int i = 0;
    for (const char* line : lines) script[i++] = line;
    script[i] = nullptr;
    set_line_reader(read_script);
    run_loop();
    std::string output = testing::internal::GetCapturedStdout();
    return output.substr(output.find("\n\n") + 2);
}

TEST(FullGameRecord, TypedMovesAreRefusedAndTheEngineStops) {
    const std::string output = run_with_full_record({"e2e4\n", "go\n", "board\n"});
    EXPECT_EQ(output,
              "Error (unknown command): e2e4\n"
              "\n8  r n b q k b n r\n7  p p p p p p p p\n6  . . . . . . . .\n5  . . . . . . . .\n"
              "4  . . . . . . . .\n3  . . . . . . . .\n2  P P P P P P P P\n1  R N B Q K B N R\n"
              "\n   a b c d e f g h\n\n");
    EXPECT_EQ(engine_side, NO_SIDE);
    EXPECT_EQ(game_ply, GAME_HISTORY_SIZE);
}

}  // namespace
