#include "search/movepick.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "board/position.h"
#include "search/limits.h"

Move pv_table[MAX_PLY][MAX_PLY];
int pv_length[MAX_PLY];
bool follow_pv = false;

namespace {

struct RootFilter {
    bool active = false;
    int count = 0;
    Move moves[MAX_ROOT_MOVES];
};
RootFilter root_filter;

}  // namespace

void pick_next_move(int i) {
    int best_score = -1;
    int chosen = i;
    for (int j = i; j < ply_move_end[ply]; ++j) {
        if (move_stack[j].score > best_score) {
            best_score = move_stack[j].score;
            chosen = j;
        }
    }
    std::swap(move_stack[i], move_stack[chosen]);
}

void boost_pv_move() {
    follow_pv = false;
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        if (move_stack[i].move == pv_table[0][ply]) {
            move_stack[i].score += PV_MOVE_BONUS;
            follow_pv = true;
            return;
        }
    }
}

void update_pv(Move move) {
    pv_table[ply][ply] = move;
    for (int j = ply + 1; j < pv_length[ply + 1]; ++j) pv_table[ply][j] = pv_table[ply + 1][j];
    pv_length[ply] = pv_length[ply + 1];
}

void clear_pv() {
    std::memset(pv_table, 0, sizeof pv_table);
    std::memset(pv_length, 0, sizeof pv_length);
    follow_pv = false;
}

void set_root_filter(const Move* moves, int count) {
    root_filter.active = true;
    root_filter.count = std::min(count, MAX_ROOT_MOVES);
    std::copy(moves, moves + root_filter.count, root_filter.moves);
}

void clear_root_filter() { root_filter.active = false; }

void filter_root_moves() {
    if (!root_filter.active) return;
    const Move* const allowed = root_filter.moves;
    const Move* const allowed_end = allowed + root_filter.count;
    int kept = ply_move_start[0];
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i)
        if (std::find(allowed, allowed_end, move_stack[i].move) != allowed_end)
            move_stack[kept++] = move_stack[i];
    ply_move_end[0] = kept;
}
