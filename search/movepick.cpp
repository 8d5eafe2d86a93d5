#include "search/movepick.h"

#include <cstring>
#include <utility>

#include "board/position.h"

Move pv_table[MAX_PLY][MAX_PLY];
int pv_length[MAX_PLY];
bool follow_pv = false;

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
