// libFuzzer target for karvosel-uci's command loop: each input is the
// program's standard input, split into lines and queued whole before the loop
// starts, as if the host had written it all at once. A search therefore sees
// the lines behind its `go` (isready, stop, quit) at its clock test.
//
// Every search ends by a node ceiling and the clock of `go` is read but not
// followed, so an input runs the same way each time. Between lines the
// position must be sound: board tables and bookkeeping agree, the key is the
// key of the position, the game record ends with it, no search is left half
// made, and no command moves the node ceiling.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "board/position.h"
#include "fuzz/harness.h"
#include "protocol/uci/input.h"
#include "protocol/uci/uci.h"
#include "search/limits.h"
#include "search/tt.h"

namespace {

// Searches end at the first clock test, after this many nodes, so that an
// input's many `go` lines stay fast.
constexpr long FUZZ_NODE_CEILING = 1024;
// The smallest table the Hash option offers, and no larger one.
constexpr long long FUZZ_HASH_MIB = 1;

void check_between_lines() {
    if (ply != 0) harness_fail("a command left moves made beyond the game record");
    if (game_ply < 0 || game_ply > GAME_HISTORY_SIZE) harness_fail("game_ply out of range");
    harness_check_position("between lines");
    if (game_ply > 0 && game_history[game_ply - 1].key != position.position_key)
        harness_fail("the game record does not end with the current position");
    if (search_limits.node_ceiling != FUZZ_NODE_CEILING)
        harness_fail("a command moved the node ceiling");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The replies are not checked here; only the engine's survival and soundness.
    if (!std::freopen("/dev/null", "w", stdout)) harness_fail("cannot open /dev/null");
    uci_ignore_clock = true;
    uci_hash_ceiling_mib = FUZZ_HASH_MIB;
    search_limits.node_ceiling = FUZZ_NODE_CEILING;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reset_input();
    search_limits.stop_requested.store(false);
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != '\n') {
            text += static_cast<char>(data[i]);
            continue;
        }
        queue_input_line(InputLine{text});
        text.clear();
    }
    if (!text.empty()) queue_input_line(InputLine{text});
    queue_end_of_input();

    start_uci_engine(FUZZ_HASH_MIB);
    InputLine line;
    while (next_input_line(&line)) {
        check_between_lines();
        if (!handle_uci_line(line)) break;
    }
    check_between_lines();
    tt_release();
    return 0;
}
