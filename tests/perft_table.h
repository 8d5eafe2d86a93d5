// The perft table, tests/perft-table.txt: well-known positions with their
// published leaf counts, one list for every test that walks the move tree.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct PerftPosition {
    std::string name;
    std::string fen;
    std::vector<long long> nodes;  // leaf counts for depth 1, 2, ...
};

namespace perft_table_detail {

inline std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace perft_table_detail

// Every position of the table, in its order. A line that is not
// "name | FEN | counts" fails the calling test.
inline std::vector<PerftPosition> read_perft_table() {
    using perft_table_detail::trimmed;
    std::vector<PerftPosition> table;
    std::ifstream file(KARVOSEL_PERFT_TABLE);
    if (!file) ADD_FAILURE() << "cannot read " << KARVOSEL_PERFT_TABLE;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (trimmed(line).empty() || line[0] == '#') continue;
        const auto bar = line.find('|');
        const auto second_bar = line.find('|', bar + 1);
        PerftPosition position;
        if (bar != std::string::npos && second_bar != std::string::npos) {
            position.name = trimmed(line.substr(0, bar));
            position.fen = trimmed(line.substr(bar + 1, second_bar - bar - 1));
            std::istringstream counts(line.substr(second_bar + 1));
            for (long long count; counts >> count;) position.nodes.push_back(count);
            if (!counts.eof()) position.nodes.clear();
        }
        if (position.name.empty() || position.fen.empty() || position.nodes.empty()) {
            ADD_FAILURE() << KARVOSEL_PERFT_TABLE << ":" << number << ": not name | FEN | counts";
            continue;
        }
        table.push_back(position);
    }
    return table;
}
