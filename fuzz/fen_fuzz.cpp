// libFuzzer target for the FEN reader (board/fen.*), which the UCI program
// feeds with the interface's `position fen` text: a text it accepts must give
// a sound position, one on which every move can be made and taken back.
#include <cstddef>
#include <cstdint>

#include "board/attack.h"
#include "board/fen.h"
#include "board/movegen.h"
#include "board/position.h"
#include "eval/eval.h"
#include "eval/material.h"
#include "fuzz/fuzz_text.h"
#include "fuzz/harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    harness_initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char text[256];
    input_as_string(data, size, text, sizeof text);
    if (!load_fen(text)) return 0;
    if (ply != 0 || game_ply != 0) harness_fail("a loaded position with moves made");
    harness_check_position("after load_fen");
    generate_moves();
    // The side that has just moved may not be left in check; such a position
    // is for the caller to refuse, and has no moves to check.
    if (in_check(position.opponent_side)) return 0;
    harness_check_moves_of_ply0("a move from a loaded position");
    evaluate(-MATE_SCORE, MATE_SCORE);
    no_mating_material();
    return 0;
}
