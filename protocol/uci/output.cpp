#include "protocol/uci/output.h"

#include <cstdio>

void send(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void send_info_string(const std::string& text) { send("info string " + text); }
