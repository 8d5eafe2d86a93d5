// What karvosel-uci writes: every line goes out whole, at once, since the
// host reads lines.
#pragma once

#include <string>

void send(const std::string& line);
void send_info_string(const std::string& text);
