// Move ordering within the search and the quiescence search: picking the
// best-scored move, the previous iteration's line first, and the triangular
// table of principal variations that both searches fill.
#pragma once

#include "board/types.h"

// Added to the ordering score of the previous iteration's PV move.
constexpr int PV_MOVE_BONUS = 10000000;

// Triangular PV table: row p holds the best line from ply p in columns
// p .. pv_length[p] - 1; row 0 is the root's.
extern Move pv_table[MAX_PLY][MAX_PLY];
extern int pv_length[MAX_PLY];
// While set, each node first tries the previous iteration's PV move at its ply.
extern bool follow_pv;

// Brings the best-scored remaining move of the current ply to move_stack[i];
// ties go to the earlier entry.
void pick_next_move(int i);
// Gives the current ply's PV move its bonus, or clears follow_pv when the
// list does not hold it.
void boost_pv_move();
// Makes `move` followed by the line of the next ply the line of this ply.
void update_pv(Move move);
// Empties the PV table and stops following it.
void clear_pv();

// The root moves the line being searched may play: with a filter set, the
// root's list keeps only those (in their generated order); without one, all.
void set_root_filter(const Move* moves, int count);
void clear_root_filter();
// Applied by the search to the list of ply 0 as it generates it.
void filter_root_moves();
