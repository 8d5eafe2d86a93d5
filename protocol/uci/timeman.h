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
constexpr long long MOVE_TIME_MARGIN_MS = 40;
// Without movestogo, the rest of the clock is spread as over this many moves.
constexpr int DEFAULT_MOVES_TO_GO = 30;
// No move may take more than this share of what is left, not even the last
// one before a time control: a busy host can be slow to read the move.
constexpr int MAX_SHARE_DIVISOR = 2;

// No more host latency than this is assumed, however much is seen.
constexpr long long MAX_LATENCY_MS = 1000;

// The budget of the side to move, in milliseconds, at least 1: the search
// is abandoned when it has passed and starts no iteration once a third of
// it has passed. 0 means no time limit (no clock and no movetime given).
// `latency_ms` is what the host's clock is expected to charge each move
// beyond the engine's thinking; it comes out of every move's share.
long long move_budget_ms(const GoLimits& limits, Side side, long long latency_ms = 0);

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
