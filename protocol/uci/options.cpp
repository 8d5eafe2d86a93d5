#include "protocol/uci/options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "protocol/uci/output.h"
#include "protocol/uci/strength.h"
#include "search/think.h"
#include "search/tt.h"

UciOptions uci_options;
long long uci_hash_ceiling_mib = HASH_MAX_MIB;

namespace {

enum class OptionType { SPIN, CHECK, BUTTON };

// One option as declared to the host. A spin value outside min..max is
// refused, or clamped with a word to the host where `clamps` is set.
struct Option {
    const char* name;
    OptionType type;
    long long default_value;
    long long min;
    long long max;
    bool clamps;
    void (*set)(long long value);
};

void set_hash_size(long long mib) {
    tt_set_size(tt_exponent_for_mib(mib));
    if (tt_allocate().entries == 0)
        send_info_string("not enough memory for the hash table; searching without one");
}

// In the order of the `uci` reply.
constexpr Option options[] = {
    {"Hash", OptionType::SPIN, HASH_DEFAULT_MIB, HASH_MIN_MIB, HASH_MAX_MIB, false, set_hash_size},
    {"Clear Hash", OptionType::BUTTON, 0, 0, 0, false, [](long long) { tt_clear(); }},
    // The search has one thread; hosts that set Threads for every engine find it.
    {"Threads", OptionType::SPIN, 1, 1, 1, false, [](long long) {}},
    {"Move Overhead", OptionType::SPIN, MOVE_OVERHEAD_DEFAULT_MS, 0, MOVE_OVERHEAD_MAX_MS, false,
     [](long long ms) { uci_options.move_overhead_ms = static_cast<int>(ms); }},
    {"Ponder", OptionType::CHECK, 0, 0, 1, false,
     [](long long on) { uci_options.ponder = on != 0; }},
    {"MultiPV", OptionType::SPIN, 1, 1, MAX_MULTIPV, false,
     [](long long lines) { uci_options.multipv = static_cast<int>(lines); }},
    {"UCI_LimitStrength", OptionType::CHECK, 0, 0, 1, false,
     [](long long on) { uci_options.limit_strength = on != 0; }},
    {"UCI_Elo", OptionType::SPIN, ELO_MAX, ELO_MIN, ELO_MAX, true,
     [](long long elo) { uci_options.elo = static_cast<int>(elo); }},
};

std::string lower_case(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A decimal integer, the whole text; beyond the range of long long it is refused.
bool read_integer(const std::string& text, long long* value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    *value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && errno != ERANGE;
}

void set_option(const Option& option, const std::string& value) {
    const std::string name = option.name;
    switch (option.type) {
        case OptionType::BUTTON:
            option.set(0);
            return;
        case OptionType::CHECK: {
            const std::string word = lower_case(value);
            if (word != "true" && word != "false") {
                send_info_string("setoption " + name + ": true or false expected, not '" + value +
                                 "'");
                return;
            }
            option.set(word == "true");
            return;
        }
        case OptionType::SPIN: {
            long long number = 0;
            const bool read = read_integer(value, &number);
            const bool in_range = read && number >= option.min && number <= option.max;
            if (read && !in_range && option.clamps) {
                number = number < option.min ? option.min : option.max;
                send_info_string("setoption " + name + ": " + value + " is outside " +
                                 std::to_string(option.min) + " to " + std::to_string(option.max) +
                                 "; " + std::to_string(number) + " is used");
            } else if (!in_range || (option.set == set_hash_size && number > uci_hash_ceiling_mib)) {
                send_info_string("setoption " + name + ": a number from " +
                                 std::to_string(option.min) + " to " + std::to_string(option.max) +
                                 " expected, not '" + value + "'");
                return;
            }
            option.set(number);
            return;
        }
    }
}

}  // namespace

void reset_options(long long hash_mib) {
    uci_options = UciOptions{};
    uci_options.elo = ELO_MAX;
    set_hash_size(hash_mib);
}

void send_option_lines() {
    for (const Option& option : options) {
        std::string line = std::string("option name ") + option.name + " type ";
        switch (option.type) {
            case OptionType::SPIN:
                line += "spin default " + std::to_string(option.default_value) + " min " +
                        std::to_string(option.min) + " max " + std::to_string(option.max);
                break;
            case OptionType::CHECK:
                line += option.default_value ? "check default true" : "check default false";
                break;
            case OptionType::BUTTON:
                line += "button";
                break;
        }
        send(line);
    }
}

void command_setoption(const std::string& arguments) {
    std::istringstream words(arguments);
    std::string word;
    std::string name;
    std::string value;
    bool in_value = false;
    words >> word;
    if (word != "name") {
        send_info_string("setoption: name expected");
        return;
    }
    while (words >> word) {
        if (!in_value && word == "value") {
            in_value = true;
            continue;
        }
        std::string& target = in_value ? value : name;
        target += (target.empty() ? "" : " ") + word;
    }
    for (const Option& option : options) {
        if (lower_case(option.name) == lower_case(name)) {
            set_option(option, value);
            return;
        }
    }
    send_info_string("setoption: no option named '" + name + "'");
}
