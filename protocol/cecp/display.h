// The board diagram of the `board` command.
#pragma once

void print_board();
