#include "search/report.h"

#include "search/limits.h"
#include "search/movepick.h"

SearchReporter search_reporter = {};
int report_line_number = 1;

void report_root_line(int depth, int score, bool completed) {
    measure_elapsed();
    if (!search_reporter.root_line) return;
    const RootLine line{depth,
                        score,
                        nodes,
                        search_clock.elapsed_ms,
                        std::span<const Move>(pv_table[0], static_cast<std::size_t>(pv_length[0])),
                        completed,
                        report_line_number,
                        seldepth};
    search_reporter.root_line(line);
}
