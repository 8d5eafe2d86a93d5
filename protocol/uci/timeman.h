// Time management in milliseconds: how long one move may take, from the
// clock and the control a `go` names.
#pragma once

#include "board/types.h"
#include "protocol/uci/limits.h"

// Without movestogo, the rest of the clock is spread as over this many moves.
constexpr int DEFAULT_MOVES_TO_GO = 30;
// With movestogo the clock must last to the control: a move takes about one
// and a half shares on average, so the time is spread as over one and a half
// times the moves to go, and one more.
constexpr int MOVES_TO_GO_SPREAD_PERCENT = 150;
// A move's share of the clock is its part of what is left plus the increment;
// no iteration starts once this part of the share has passed...
constexpr int SOFT_SHARE_PERCENT = 60;
// ...and the search is abandoned at this multiple of it, or at this part of
// what is left, whichever comes first: not even the last move before a time
// control may take more, since a busy host can be slow to read the move.
constexpr int HARD_SHARE_PERCENT = 250;
constexpr int MAX_SHARE_DIVISOR = 2;

// No more host latency than this is assumed, however much is seen.
constexpr long long MAX_LATENCY_MS = 1000;

// What one move may take: the search is abandoned once `hard_ms` has passed
// and starts no iteration once `soft_ms` has (0: until the hard limit); both
// 0 without a time limit (no clock and no movetime given).
struct MoveBudget {
    long long hard_ms = 0;
    long long soft_ms = 0;
};

// The budget of the side to move, at least 1 ms where there is one. Of every
// move's budget, movetime's included, `overhead_ms` (the Move Overhead
// option) and `latency_ms` (what the host's clock is expected to charge each
// move beyond the engine's thinking) are kept back.
MoveBudget move_budget(const GoLimits& limits, Side side, long long overhead_ms,
                       long long latency_ms = 0);

// The host's latency, estimated from the clocks it reports: between two
// moves of the same side in one game (two plies apart), the clock should
// fall by the time the engine thought and rise by the increment; whatever
// more it fell by is latency. The estimate keeps the largest recent sample
// and forgets an eighth of it with each new sample.
void reset_latency();
// At `go`, with the game's length in plies and the engine's clock reading:
// takes a sample from the previous move if it can, and returns the estimate.
long long observe_clock(const GoLimits& limits, Side side, int game_length, long long now_ms);
// When the move has been sent: the end of the engine's thinking on it.
void record_move_sent(long long now_ms);
