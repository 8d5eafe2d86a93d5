#include "protocol/cecp/gameend.h"

#include <cstdio>

#include "board/attack.h"
#include "board/makemove.h"
#include "board/position.h"
#include "eval/material.h"
#include "protocol/cecp/loop.h"
#include "search/search.h"

void print_game_over(Side side) {
    if (!in_check(side))
        std::printf("1/2-1/2 {Stalemate}\n");
    else if (side == WHITE)
        std::printf("0-1 {Black mates}\n");
    else
        std::printf("1-0 {White mates}\n");
}

void check_after_engine_move() {
    const int replies = count_legal_moves();
    if (repetition_count() >= 3) {
        std::printf("tellics draw\n1/2-1/2 {Draw by repetition}\n");
    } else if (no_mating_material()) {
        std::printf("tellics draw\n1/2-1/2 {Neither player has mating material}\n");
    } else if (replies == 0) {
        print_game_over(position.side_to_move);
    }
}

void check_after_typed_move() {
    if (repetition_count() >= 3) {
        engine_side = NO_SIDE;
        std::printf("tellics draw\n1/2-1/2 {Draw by repetition}\n");
    } else if (no_mating_material()) {
        std::printf("tellics draw\n1/2-1/2 {Neither player has mating material}\n");
    }
}
