#include "protocol/uci/timeman.h"

#include <algorithm>

namespace {

// The previous `go` with a clock, for the next latency sample.
struct ClockReading {
    bool known = false;
    Side side = WHITE;
    int game_length = 0;
    long long clock_ms = 0;
    long long increment_ms = 0;
    long long go_at_ms = 0;
    long long thought_ms = 0;
};

ClockReading previous;
long long latency_estimate_ms = 0;

}  // namespace

MoveBudget move_budget(const GoLimits& limits, Side side, long long overhead_ms,
                       long long latency_ms) {
    const long long reserve = overhead_ms + latency_ms;
    if (limits.move_time_ms > 0) return {std::max(1LL, limits.move_time_ms - reserve), 0};
    const long long left = limits.time_ms[side];
    if (left == NO_CLOCK) return {};

    const long long moves =
        limits.moves_to_go > 0
            ? static_cast<long long>(limits.moves_to_go) * MOVES_TO_GO_SPREAD_PERCENT / 100 + 1
            : DEFAULT_MOVES_TO_GO;
    // The increment comes back after the move; the reserve goes with it.
    const long long share = left / moves + limits.increment_ms[side];
    const long long hard = std::min(share / 100 * HARD_SHARE_PERCENT +
                                        share % 100 * HARD_SHARE_PERCENT / 100,
                                    left / MAX_SHARE_DIVISOR) -
                           reserve;
    const long long soft = share / 100 * SOFT_SHARE_PERCENT +
                           share % 100 * SOFT_SHARE_PERCENT / 100 - reserve;
    const long long hard_ms = std::max(1LL, hard);
    return {hard_ms, std::clamp(soft, 1LL, hard_ms)};
}

void reset_latency() {
    previous = ClockReading{};
    latency_estimate_ms = 0;
}

long long observe_clock(const GoLimits& limits, Side side, int game_length, long long now_ms) {
    const long long clock = limits.time_ms[side];
    if (clock == NO_CLOCK) {
        previous.known = false;
        return latency_estimate_ms;
    }
    if (previous.known && previous.side == side && previous.game_length + 2 == game_length) {
        const long long sample =
            previous.clock_ms + previous.increment_ms - clock - previous.thought_ms;
        // A rise (a new time control) or a fall beyond the whole clock is no sample.
        if (sample >= 0 && sample <= previous.clock_ms)
            latency_estimate_ms = std::min(
                MAX_LATENCY_MS, std::max(sample, latency_estimate_ms - latency_estimate_ms / 8));
    }
    previous = {true, side, game_length, clock, limits.increment_ms[side], now_ms, 0};
    return latency_estimate_ms;
}

void record_move_sent(long long now_ms) {
    if (previous.known) previous.thought_ms = now_ms - previous.go_at_ms;
}
