#include "protocol/uci/uci.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "board/attack.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "protocol/common/game.h"
#include "protocol/uci/input.h"
#include "protocol/uci/limits.h"
#include "protocol/uci/timeman.h"
#include "search/limits.h"
#include "search/report.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"
#include "version.h"

bool uci_ignore_clock = false;
long long uci_hash_ceiling_mib = HASH_MAX_MIB;

namespace {

const char* const START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// The last `position` command that was carried out whole; a refused one
// brings it back.
std::string last_good_position = "startpos";
// Set while a `go infinite` (or a go without limits) runs.
bool searching_until_stopped = false;

// Every line goes out whole, at once: the host reads lines.
void send(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void send_info_string(const std::string& text) { send("info string " + text); }

// The words of a line: its first word and the rest after the blanks behind it.
void split_command(const std::string& line, std::string* word, std::string* rest) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) {
        word->clear();
        rest->clear();
        return;
    }
    const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
    *word = line.substr(start, end - start);
    const std::size_t after = line.find_first_not_of(" \t", end);
    *rest = after == std::string::npos ? "" : line.substr(after);
}

// ---- search reports ----

// A score for the side to move: centipawns, or moves to mate (negative: it is mated).
std::string score_text(int score) {
    if (score >= MATE_THRESHOLD) return "mate " + std::to_string((MATE_SCORE - score + 1) / 2);
    if (score <= -MATE_THRESHOLD) {
        const int moves = (MATE_SCORE + score) / 2;  // 0: mated on the board
        return moves == 0 ? "mate 0" : "mate -" + std::to_string(moves);
    }
    return "cp " + std::to_string(score);
}

void send_info_line(const RootLine& root) {
    const long long elapsed = root.elapsed_ms;
    const long long nps = elapsed > 0 ? root.nodes * 1000LL / elapsed : 0;
    std::string line = "info depth " + std::to_string(root.depth) + " score " +
                       score_text(root.score) + " time " + std::to_string(elapsed) + " nodes " +
                       std::to_string(root.nodes) + " nps " + std::to_string(nps);
    if (!root.pv.empty()) line += " pv";
    for (const Move move : root.pv) {
        char text[MOVE_TEXT_SIZE];
        format_move(move, text);
        line += ' ';
        line += text;
    }
    send(line);
}

// At the search's clock test: the `isready` lines at the head of the queue
// are answered, and a `stop` or `quit` there stops the search. A search that
// only `stop` would end is stopped by any other line too (the host has moved
// on) and by the end of the input; other searches end by their limits
// before the line is carried out.
void answer_during_search() {
    InputLine line;
    while (peek_input_line(&line) && is_command(line.text, "isready")) {
        drop_input_line();
        send("readyok");
    }
    bool stop = false;
    if (peek_input_line(&line))
        stop = searching_until_stopped || is_command(line.text, "stop") ||
               is_command(line.text, "quit");
    else
        stop = searching_until_stopped && input_exhausted();
    if (stop) search_limits.stop_requested.store(true, std::memory_order_relaxed);
}

// The search reports in `info` lines and answers the input at its clock tests.
void install_info_reports() {
    search_reporter = {send_info_line, nullptr, nullptr};
    search_limits.poll = answer_during_search;
}

// ---- position ----

// Plays a move given in coordinate text if it is legal here, into the game record.
bool play_move_text(const std::string& text) {
    if (game_record_full()) return false;
    ply = 0;
    generate_moves();
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        const Move move = move_stack[i].move;
        char move_text[MOVE_TEXT_SIZE];
        format_move(move, move_text);
        if (text != move_text) continue;
        if (!make_move(move)) return false;
        record_played_move();
        return true;
    }
    return false;
}

const char* setup_complaint(SetupResult result) {
    switch (result) {
        case SetupResult::MALFORMED:
            return "malformed FEN";
        case SetupResult::UNREPRESENTABLE:
            return "position not playable: each side needs one king, at most eight pawns and no "
                   "pawn on its first or last rank";
        case SetupResult::SIDE_NOT_TO_MOVE_IN_CHECK:
            return "position not playable: the side not to move is in check";
        case SetupResult::PLAYABLE:
            break;
    }
    return "";
}

// Sets up the position a `position` command names; on a fault, says what is
// wrong in `complaint` and returns false, the position then unspecified.
bool set_up_position(const std::string& arguments, std::string* complaint) {
    std::istringstream words(arguments);
    std::string word;
    words >> word;
    std::string fen;
    if (word == "startpos") {
        fen = START_FEN;
        words >> word;
    } else if (word == "fen") {
        while (words >> word && word != "moves") fen += (fen.empty() ? "" : " ") + word;
    } else {
        *complaint = "position: startpos or fen expected";
        return false;
    }
    const SetupResult result = read_fen(fen.c_str());
    if (result != SetupResult::PLAYABLE) {
        *complaint = std::string(setup_complaint(result)) + ": " + fen;
        return false;
    }
    ply = 0;
    generate_moves();
    if (!words) return true;
    if (word != "moves") {
        *complaint = "position: moves expected, not " + word;
        return false;
    }
    while (words >> word) {
        if (!play_move_text(word)) {
            *complaint =
                (game_record_full() ? "game record full at move " : "illegal move ") + word;
            return false;
        }
    }
    return true;
}

void command_position(const std::string& arguments) {
    std::string complaint;
    if (set_up_position(arguments, &complaint)) {
        last_good_position = arguments;
        return;
    }
    send_info_string(complaint + "; the position stays as it was");
    set_up_position(last_good_position, &complaint);
}

// ---- options ----

std::string lower_case(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void set_hash_size(long long mib) {
    tt_set_size(tt_exponent_for_mib(mib));
    if (tt_allocate().entries == 0)
        send_info_string("not enough memory for the hash table; searching without one");
}

// setoption name NAME [value VALUE], names compared without regard to case.
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
    const std::string option = lower_case(name);
    if (option == "hash") {
        long long mib = 0;
        char* end = nullptr;
        mib = std::strtoll(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || mib < HASH_MIN_MIB || mib > HASH_MAX_MIB ||
            mib > uci_hash_ceiling_mib) {
            send_info_string("setoption Hash: a number of MiB from " +
                             std::to_string(HASH_MIN_MIB) + " to " + std::to_string(HASH_MAX_MIB) +
                             " expected, not '" + value + "'");
            return;
        }
        set_hash_size(mib);
    } else if (option == "clear hash") {
        tt_clear();
    } else {
        send_info_string("setoption: no option named '" + name + "'");
    }
}

void command_uci() {
    send(std::string("id name ") + ENGINE_NAME + " " + ENGINE_VERSION);
    send(std::string("id author The ") + ENGINE_NAME + " developers");
    send("option name Hash type spin default " + std::to_string(HASH_DEFAULT_MIB) + " min " +
         std::to_string(HASH_MIN_MIB) + " max " + std::to_string(HASH_MAX_MIB));
    send("option name Clear Hash type button");
    send("uciok");
}

// ---- go ----

// After a search that only `stop` ends, takes the line that stopped it, or
// waits for one if it ended by itself: `stop`, `quit` or the end of the
// input. `isready` is answered meanwhile; any other line ends the wait too.
// Returns the line to carry out after the move, empty for none.
std::string wait_for_stop() {
    InputLine line;
    while (next_input_line(&line)) {
        if (line.overlong) continue;
        std::string word;
        std::string rest;
        split_command(line.text, &word, &rest);
        if (word == "isready") {
            send("readyok");
            continue;
        }
        if (word == "stop") return "";
        return line.text;
    }
    return "";
}

void send_best_move(Move move) {
    if (move == 0) {
        send("bestmove 0000");
        return;
    }
    char text[MOVE_TEXT_SIZE];
    format_move(move, text);
    send(std::string("bestmove ") + text);
}

// Returns the line that a search until `stop` ended on, if it needs handling.
std::string command_go(const std::string& arguments) {
    std::string complaints;
    const GoLimits limits = parse_go(arguments, &complaints);
    std::istringstream complaint_lines(complaints);
    for (std::string complaint; std::getline(complaint_lines, complaint);)
        send_info_string(complaint);

    searching_until_stopped = searches_until_stopped(limits);
    reset_search_limits(limits.depth > 0 ? std::min(limits.depth, TIMED_MAX_DEPTH)
                                         : TIMED_MAX_DEPTH);
    const long long latency = observe_clock(limits, position.side_to_move, game_ply, clock_ms());
    if (!uci_ignore_clock)
        search_limits.budget_ms = move_budget_ms(limits, position.side_to_move, latency);
    search_limits.node_limit = limits.nodes;
    // A stop meant for an earlier search is behind us; one for this search
    // still waits in the queue, where the clock test finds it.
    search_limits.stop_requested.store(false, std::memory_order_relaxed);

    ply = 0;
    generate_moves();
    Move move = 0;
    if (count_legal_moves() == 0) {
        send_info_line({0, in_check(position.side_to_move) ? -MATE_SCORE : 0, 0, 0, {}, true});
    } else {
        move = think().best_move;
    }

    // The line that stopped such a search, or ends the wait after it, is
    // carried out after the move unless it is `stop`.
    std::string pending;
    if (searching_until_stopped) pending = wait_for_stop();
    searching_until_stopped = false;
    send_best_move(move);
    record_move_sent(clock_ms());
    return pending;
}

// Carries out one line; false when the program is to end. A line that ended
// the wait of a search until `stop` is carried out next, in the same way.
bool handle_line(std::string text) {
    for (;;) {
        std::string word;
        std::string rest;
        split_command(text, &word, &rest);
        if (word.empty()) return true;
        if (word == "go") {
            text = command_go(rest);
            if (text.empty()) return true;
            continue;
        }
        if (word == "uci") {
            command_uci();
        } else if (word == "isready") {
            send("readyok");
        } else if (word == "ucinewgame") {
            search_clear();
            reset_latency();
        } else if (word == "position") {
            command_position(rest);
        } else if (word == "setoption") {
            command_setoption(rest);
        } else if (word == "quit") {
            return false;
        } else if (word == "stop" || word == "ponderhit" || word == "debug" || word == "register") {
            // Nothing to stop, nothing to ponder on, nothing to log or register.
        } else {
            send_info_string("unknown command: " + word);
        }
        return true;
    }
}

}  // namespace

void start_uci_engine(long long hash_mib) {
    init_keys();
    new_game();
    search_clear();
    last_good_position = "startpos";
    searching_until_stopped = false;
    reset_latency();
    set_hash_size(hash_mib);
    ply = 0;
    generate_moves();
    install_info_reports();
}

bool handle_uci_line(const InputLine& line) {
    if (!line.overlong) return handle_line(line.text);
    send_info_string("line too long, ignored");
    return true;
}

void run_uci_loop() {
    InputLine line;
    while (next_input_line(&line))
        if (!handle_uci_line(line)) break;
    tt_release();
}
