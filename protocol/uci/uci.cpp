#include "protocol/uci/uci.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

#include "board/attack.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position.h"
#include "eval/material.h"
#include "protocol/common/game.h"
#include "protocol/uci/input.h"
#include "protocol/uci/limits.h"
#include "protocol/uci/options.h"
#include "protocol/uci/output.h"
#include "protocol/uci/repetition.h"
#include "protocol/uci/strength.h"
#include "protocol/uci/timeman.h"
#include "search/limits.h"
#include "search/report.h"
#include "search/think.h"
#include "search/timecontrol.h"
#include "search/tt.h"
#include "version.h"

bool uci_ignore_clock = false;

namespace {

const char* const START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
// The current root move is reported once a search has run this long.
constexpr long long CURRMOVE_AFTER_MS = 1000;
// The seed of the strength limit's draws at the start of each game.
constexpr std::uint64_t STRENGTH_SEED = 0x9e3779b97f4a7c15ull;

// The last `position` command that was carried out whole; a refused one
// brings it back.
std::string last_good_position = "startpos";

// The search under way, as the input it hears meanwhile sees it.
struct SearchState {
    // Set while a search runs that only `stop` (or, pondering, `ponderhit`)
    // ends: `go infinite`, a go without limits, `go ponder`.
    bool until_stopped = false;
    bool pondering = false;
    // What the move may take once a ponder search becomes a search for it.
    MoveBudget ponder_budget;
    // The first move of the last line reported, which bestmove must match.
    Move last_reported_move = 0;
};
SearchState state;

std::string move_text(Move move) {
    char text[MOVE_TEXT_SIZE];
    format_move(move, text);
    return text;
}

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

// A score for the side to move: centipawns, or moves to mate (negative: it
// is mated), with the number of plies of a line that the mate allows.
std::string score_text(int score, std::size_t* plies) {
    if (score >= MATE_THRESHOLD) {
        const int moves = (MATE_SCORE - score + 1) / 2;
        *plies = static_cast<std::size_t>(2 * moves - 1);
        return "mate " + std::to_string(moves);
    }
    if (score <= -MATE_THRESHOLD) {
        const int moves = (MATE_SCORE + score) / 2;  // 0: mated on the board
        *plies = static_cast<std::size_t>(2 * moves);
        return moves == 0 ? "mate 0" : "mate -" + std::to_string(moves);
    }
    return "cp " + std::to_string(score);
}

// How far the game can follow a line from the root: the number of its moves
// that are legal and come no later than a move that ends the game, and
// whether the game is over after the last of them. The search sees only the
// engine's own repetitions and may go on past a draw by threefold
// repetition (counting the game and the line before it) or the fifty-move
// rule; with `to_the_end`, the game is also over after the whole line when
// it leaves no legal move or no mating material.
struct LineWalk {
    std::size_t moves = 0;
    bool game_over = false;
};

LineWalk follow_line(std::span<const Move> line, bool to_the_end) {
    std::uint32_t keys[MAX_PLY];
    LineWalk walk;
    while (walk.moves < line.size() && make_move(line[walk.moves])) {
        keys[walk.moves++] = rule_key();
        if (rule_repetitions(keys, static_cast<int>(walk.moves)) >= 2 ||
            position.halfmove_clock >= 100) {
            walk.game_over = true;
            break;
        }
    }
    if (to_the_end && !walk.game_over && walk.moves == line.size() && !line.empty()) {
        generate_moves();
        walk.game_over = count_legal_moves() == 0 || no_mating_material();
    }
    for (std::size_t i = 0; i < walk.moves; ++i) take_back();
    return walk;
}

// The part of `pv` that the game can follow from the root.
std::span<const Move> playable_part(std::span<const Move> pv) {
    return pv.first(follow_line(pv, false).moves);
}

void send_info_line(const RootLine& root) {
    // Lines searched only for the strength limit's choice stay unreported.
    if (root.multipv > uci_options.multipv) return;
    const long long elapsed = root.elapsed_ms;
    const long long nps = elapsed > 0 ? root.nodes * 1000LL / elapsed : 0;
    std::size_t plies = root.pv.size();
    const std::string score = score_text(root.score, &plies);
    std::string line = "info depth " + std::to_string(root.depth) + " seldepth " +
                       std::to_string(std::max(root.seldepth, root.depth)) + " multipv " +
                       std::to_string(root.multipv) + " score " + score + " nodes " +
                       std::to_string(root.nodes) + " nps " + std::to_string(nps) + " hashfull " +
                       std::to_string(tt_hashfull()) + " time " + std::to_string(elapsed);
    // No line goes on past the mate its score announces, or past a draw.
    const std::span<const Move> pv = playable_part(root.pv.first(std::min(plies, root.pv.size())));
    if (!pv.empty()) line += " pv";
    for (const Move move : pv) line += " " + move_text(move);
    if (root.multipv == 1 && !pv.empty()) state.last_reported_move = pv[0];
    send(line);
}

void send_current_move(int depth, Move move, int number) {
    if (clock_ms() - search_clock.search_start_ms < CURRMOVE_AFTER_MS) return;
    send("info depth " + std::to_string(depth) + " currmove " + move_text(move) +
         " currmovenumber " + std::to_string(number));
}

// A ponder search becomes the search for the move: timed from its start.
void ponder_hit() {
    state.pondering = false;
    state.until_stopped = false;
    if (state.ponder_budget.hard_ms > 0)
        set_running_budget(state.ponder_budget.hard_ms, state.ponder_budget.soft_ms);
}

// At the search's clock test: the `isready` lines at the head of the queue
// are answered, a `ponderhit` there turns pondering into the search for the
// move, and a `stop` or `quit` there stops the search. A search that only
// `stop` would end is stopped by any other line too (the host has moved on)
// and by the end of the input; other searches end by their limits before the
// line is carried out.
void answer_during_search() {
    InputLine line;
    while (peek_input_line(&line)) {
        if (is_command(line.text, "isready")) {
            send("readyok");
        } else if (state.pondering && is_command(line.text, "ponderhit")) {
            ponder_hit();
        } else {
            break;
        }
        drop_input_line();
    }
    bool stop = false;
    if (peek_input_line(&line))
        stop = state.until_stopped || is_command(line.text, "stop") ||
               is_command(line.text, "quit");
    else
        stop = state.until_stopped && input_exhausted();
    if (stop) search_limits.stop_requested.store(true, std::memory_order_relaxed);
}

// The search reports in `info` lines and answers the input at its clock tests.
void install_info_reports() {
    search_reporter = {send_info_line, nullptr, nullptr, send_current_move};
    search_limits.poll = answer_during_search;
}

// ---- position ----

// The legal move of the list of ply 0 written as `text`, 0 when there is none.
Move legal_move_named(const std::string& text) {
    for (int i = ply_move_start[0]; i < ply_move_end[0]; ++i) {
        const Move move = move_stack[i].move;
        if (text != move_text(move) || !make_move(move)) continue;
        take_back();
        return move;
    }
    return 0;
}

// Plays a move given in coordinate text if it is legal here, into the game record.
bool play_move_text(const std::string& text) {
    if (game_record_full()) return false;
    ply = 0;
    generate_moves();
    const Move move = legal_move_named(text);
    if (move == 0) return false;
    make_move(move);
    record_played_move();
    record_rule_key();
    return true;
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
    record_rule_key();
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

// ---- go ----

void set_budget_limits(const MoveBudget& budget) {
    search_limits.budget_ms = budget.hard_ms;
    search_limits.soft_budget_ms = budget.soft_ms;
}

// The search's root moves from searchmoves: the legal ones, each once; the
// others are named and dropped. None left means every move.
void set_search_moves(const std::vector<std::string>& texts) {
    search_limits.search_move_count = 0;
    for (const std::string& text : texts) {
        const Move found = legal_move_named(text);
        if (found == 0) {
            if (text != "0000") send_info_string("go searchmoves: " + text + " is not a legal move");
            continue;
        }
        Move* const end = search_limits.search_moves + search_limits.search_move_count;
        if (std::find(search_limits.search_moves, end, found) == end &&
            search_limits.search_move_count < MAX_ROOT_MOVES)
            search_limits.search_moves[search_limits.search_move_count++] = found;
    }
}

// After a search that only `stop` ends, takes the line that stopped it, or
// waits for one if it ended by itself: `stop`, `quit`, the end of the input,
// or while pondering `ponderhit`. `isready` is answered meanwhile; any other
// line ends the wait too. Returns the line to carry out after the move,
// empty for none.
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
        if (word == "stop" || (word == "ponderhit" && state.pondering)) return "";
        return line.text;
    }
    return "";
}

// The reply the line `pv` after `move` predicts, when it leaves the game on.
Move ponder_move(Move move, std::span<const Move> pv) {
    if (pv.size() < 2 || pv[0] != move) return 0;
    const LineWalk walk = follow_line(pv.first(2), true);
    ply = 0;
    generate_moves();
    return walk.moves == 2 && !walk.game_over ? pv[1] : 0;
}

// The move to play after a search, by the strength limit's draw where it
// is on, and the line it starts.
Move chosen_move(const SearchResult& result, std::span<const Move>* line) {
    *line = result.completed_pv;
    if (result.cut_short_move != 0) {
        *line = result.pv;
        return result.cut_short_move;
    }
    if (uci_options.limit_strength && result.line_count > 1) {
        int scores[MAX_MULTIPV];
        for (int i = 0; i < result.line_count; ++i) scores[i] = result.lines[i].score;
        const int k = draw_move(scores, result.line_count,
                                strength_level(uci_options.elo).margin_cp);
        if (k > 0) {
            *line = std::span<const Move>(&result.lines[k].move, 1);
            return result.lines[k].move;
        }
    }
    return result.best_move;
}

// The score the search gave `move` at its last completed depth.
int score_of(const SearchResult& result, Move move) {
    for (int i = 0; i < result.line_count; ++i)
        if (result.lines[i].move == move) return result.lines[i].score;
    return result.last_score;
}

void send_best_move(Move move, Move reply) {
    if (move == 0) {
        send("bestmove 0000");
        return;
    }
    std::string line = "bestmove " + move_text(move);
    if (reply != 0) line += " ponder " + move_text(reply);
    send(line);
}

// Returns the line that a search until `stop` ended on, if it needs handling.
std::string command_go(const std::string& arguments) {
    std::string complaints;
    const GoLimits limits = parse_go(arguments, &complaints);
    std::istringstream complaint_lines(complaints);
    for (std::string complaint; std::getline(complaint_lines, complaint);)
        send_info_string(complaint);

    ply = 0;
    generate_moves();
    state = SearchState{};
    state.until_stopped = searches_until_stopped(limits);
    state.pondering = limits.ponder;
    reset_search_limits(limits.depth > 0 ? std::min(limits.depth, TIMED_MAX_DEPTH)
                                         : TIMED_MAX_DEPTH);
    search_limits.node_limit = limits.nodes;
    search_limits.mate_moves = limits.mate;
    search_limits.multipv = uci_options.multipv;
    set_search_moves(limits.search_moves);
    if (uci_options.limit_strength) {
        const StrengthLevel level = strength_level(uci_options.elo);
        if (search_limits.node_limit == 0 || level.nodes < search_limits.node_limit)
            search_limits.node_limit = level.nodes;
        search_limits.max_depth = std::min(search_limits.max_depth, level.depth);
        search_limits.multipv = std::max(search_limits.multipv, level.lines);
    }
    // A ponder search's clock is no latency sample: the host's clock for the
    // engine did not run while it pondered.
    const long long latency =
        limits.ponder ? 0 : observe_clock(limits, position.side_to_move, game_ply, clock_ms());
    const MoveBudget budget =
        uci_ignore_clock ? MoveBudget{}
                         : move_budget(limits, position.side_to_move, uci_options.move_overhead_ms,
                                       latency);
    if (limits.ponder)
        state.ponder_budget = budget;
    else
        set_budget_limits(budget);
    // A stop meant for an earlier search is behind us; one for this search
    // still waits in the queue, where the clock test finds it.
    search_limits.stop_requested.store(false, std::memory_order_relaxed);

    Move move = 0;
    std::span<const Move> line;
    if (count_legal_moves() == 0) {
        send_info_line({0, in_check(position.side_to_move) ? -MATE_SCORE : 0, 0, 0, {}, true, 1, 0});
    } else {
        const SearchResult& result = think();
        move = chosen_move(result, &line);
        // The last line reported starts with the move played: a line cut
        // short that named another is followed by the one that stands.
        if (move != state.last_reported_move && !line.empty())
            send_info_line({result.completed_depth, score_of(result, move), result.nodes,
                            clock_ms() - result.search_start_ms, line, true, 1, seldepth});
    }

    // The line that stopped such a search, or ends the wait after it, is
    // carried out after the move unless it is `stop`.
    std::string pending;
    if (state.until_stopped) pending = wait_for_stop();
    state = SearchState{};
    send_best_move(move, move == 0 ? 0 : ponder_move(move, line));
    record_move_sent(clock_ms());
    return pending;
}

void command_uci() {
    send(std::string("id name ") + ENGINE_NAME + " " + ENGINE_VERSION);
    send(std::string("id author The ") + ENGINE_NAME + " developers");
    send_option_lines();
    send("uciok");
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
            reset_strength_draws(STRENGTH_SEED);
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
    state = SearchState{};
    reset_latency();
    reset_strength_draws(STRENGTH_SEED);
    reset_options(hash_mib);
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
