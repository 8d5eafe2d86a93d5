// The quiescence search: captures and promotions only, with a stand-pat score.
#pragma once

// Fail-hard score of the current position from the side to move, settling
// the captures on the board.
int quiesce(int alpha, int beta);
