// Time management in milliseconds: how long one move may take, from the
// clock and the control a `go` names.
#pragma once

#include "board/types.h"
#include "protocol/uci/limits.h"

// Kept back from the clock for process and pipe latency: the time between
// the host's clock reading and the engine's, each way.
constexpr long long MOVE_OVERHEAD_MS = 50;
// Kept back from movetime, which the host counts from sending `go` to reading
// `bestmove`: on a busy machine the engine can lose that much to waiting for
// the processor between its last clock reading and the host's. Of a very
// short movetime at least half is used all the same.
constexpr long long MOVE_TIME_MARGIN_MS = 30;
// Without movestogo, the rest of the clock is spread as over this many moves.
constexpr int DEFAULT_MOVES_TO_GO = 20;
// No move may take more than this share of what is left, not even the last
// one before a time control: a busy host can be slow to read the move.
constexpr int MAX_SHARE_DIVISOR = 2;

// The budget of the side to move, in milliseconds, at least 1: the search
// is abandoned when it has passed and starts no iteration once a third of
// it has passed. 0 means no time limit (no clock and no movetime given).
long long move_budget_ms(const GoLimits& limits, Side side);
