#include "board/perft.h"

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"

long long perft(int depth) {
    if (depth == 0) return 1;
    generate_moves();
    long long count = 0;
    for (int i = ply_move_start[ply]; i < ply_move_end[ply]; ++i) {
        if (!make_move(move_stack[i].move)) continue;
        count += perft(depth - 1);
        take_back();
    }
    return count;
}
