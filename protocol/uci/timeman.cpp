#include "protocol/uci/timeman.h"

#include <algorithm>

long long move_budget_ms(const GoLimits& limits, Side side) {
    if (limits.move_time_ms > 0)
        return std::max({1LL, limits.move_time_ms / 2, limits.move_time_ms - MOVE_TIME_MARGIN_MS});
    const long long left = limits.time_ms[side];
    if (left == NO_CLOCK) return 0;

    const long long usable = std::max(1LL, left - MOVE_OVERHEAD_MS);
    const int moves = limits.moves_to_go > 0 ? limits.moves_to_go : DEFAULT_MOVES_TO_GO;
    // The increment comes back after the move; the base is spread over the moves.
    const long long share = usable / moves + limits.increment_ms[side];
    return std::clamp(share, 1LL, std::max(1LL, usable / MAX_SHARE_DIVISOR));
}
