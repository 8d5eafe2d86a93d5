#include "search/limits.h"

#include "platform/platform.h"

SearchLimits search_limits;
long long nodes = 0;
int seldepth = 0;
SearchClock search_clock;

static ClockReader clock_reader = platform_clock_ms;

void reset_search_limits(int depth) {
    search_limits.max_depth = depth;
    search_limits.time_budget = NO_TIME_LIMIT;
    search_limits.budget_ms = NO_BUDGET_MS;
    search_limits.soft_budget_ms = NO_BUDGET_MS;
    search_limits.node_limit = NO_NODE_LIMIT;
    search_limits.report_iterations = true;
    search_limits.mate_moves = 0;
    search_limits.multipv = 1;
    search_limits.search_move_count = 0;
}

long long clock_ms() { return clock_reader(); }

void set_clock_reader(ClockReader reader) { clock_reader = reader; }

void start_search_clock() {
    const long long now = clock_ms();
    search_clock.stop_time_ms = search_limits.budget_ms > NO_BUDGET_MS
                                    ? now + search_limits.budget_ms
                                    : now + search_limits.time_budget * 1000LL - DEADLINE_MARGIN_MS;
    search_clock.search_start_ms = now;
    search_clock.elapsed_ms = 0;
    nodes = 0;
    seldepth = 0;
}

void measure_elapsed() { search_clock.elapsed_ms = clock_ms() - search_clock.search_start_ms; }

void set_running_budget(long long budget_ms, long long soft_budget_ms) {
    search_limits.budget_ms = budget_ms;
    search_limits.soft_budget_ms = soft_budget_ms;
    search_clock.stop_time_ms = search_clock.search_start_ms + budget_ms;
}

bool budget_mostly_spent() {
    if (search_limits.budget_ms > NO_BUDGET_MS)
        return search_limits.soft_budget_ms > NO_BUDGET_MS &&
               clock_ms() - search_clock.search_start_ms > search_limits.soft_budget_ms;
    const int elapsed = elapsed_cs();
    return search_limits.time_budget != NO_TIME_LIMIT &&
           search_limits.time_budget * 100LL - elapsed < 2LL * elapsed;
}

static bool over_limit(long long limit) { return limit > NO_NODE_LIMIT && nodes >= limit; }

void abandon_search_at_deadline() {
    if (search_limits.poll) search_limits.poll();
    if (over_limit(search_limits.node_limit) || over_limit(search_limits.node_ceiling) ||
        search_limits.stop_requested.load(std::memory_order_relaxed) ||
        clock_ms() >= search_clock.stop_time_ms)
        throw SearchAbandoned{};
}
