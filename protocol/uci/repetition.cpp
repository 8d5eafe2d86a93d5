#include "protocol/uci/repetition.h"

#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"

namespace {

// The rule keys of the game's positions, by game ply: [0] the position set
// up, [game_ply] the game's current position.
std::uint32_t game_keys[GAME_HISTORY_SIZE + 1];

}  // namespace

std::uint32_t rule_key() {
    const std::uint32_t key = position.position_key;
    if (position.ep_square == NO_SQUARE) return key;
    generate_moves();
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        const Move move = move_stack[i].move;
        if (!(move_flags(move) & MOVE_EN_PASSANT) || !make_move(move)) continue;
        take_back();
        return key;
    }
    return key ^ ep_square_key[position.ep_square];
}

void record_rule_key() { game_keys[game_ply] = rule_key(); }

int rule_repetitions(const std::uint32_t* line_keys, int line_count) {
    const std::uint32_t key = line_count > 0 ? line_keys[line_count - 1] : game_keys[game_ply];
    // No position before the last capture or pawn move can come again.
    const int oldest = game_ply + line_count - position.halfmove_clock;
    int count = 0;
    for (int i = line_count - 2; i >= 0 && game_ply + i + 1 >= oldest; --i)
        if (line_keys[i] == key) ++count;
    const int last_game_ply = line_count > 0 ? game_ply : game_ply - 1;
    for (int i = last_game_ply; i >= 0 && i >= oldest; --i)
        if (game_keys[i] == key) ++count;
    return count;
}
