#!/usr/bin/env python3
"""Self-play soak: the real engine binary plays whole games through pipes.

One engine process plays every game, as under an interface that runs it for
hours. Each game starts with `new`, a few random legal moves typed in force
mode (from a seeded generator), then goes on at a fixed search depth until
mate, stalemate or a ply limit, in one of three ways:

  self    `go` at every turn: the engine plays the side to move, then the other
  versus  the engine plays one side and answers by itself; the other side's
          moves are random legal moves typed in
  mixed   mostly `go`, sometimes a random move typed for the side to move
  random  random moves typed for both sides (never one that ends the game),
          with `hint` now and then, and `go` at every turn once the material
          cannot mate: such games run on through dead draws to the ply limit
  endings random moves typed for both sides, a mate or stalemate whenever one
          is there, and `go` at three turns in ten: games end every way

Everything the engine prints is checked against the rules of
tools/chess_rules.py, written from scratch, independent of the engine's code:

  - every move it prints ("move ...", "Hint: ...", the lines of its thinking
    and the whisper) is legal in the position, and the board it shows after
    every step (`board`) is the board of the game;
  - every result line is the one the position calls for: mate, stalemate,
    repetition (three or more of the game positions since the last capture or
    pawn move, this one included, with the same placement, side to move,
    castling rights and en-passant square, the square counted after every
    double step) and lack of mating material (no pawns, and each side below a
    rook's worth or with exactly two knights); draw lines do not end a game;
  - at the end, `ml` lists exactly the game's moves, and `undo` / `remove`
    restore the earlier positions, which the moves typed again rebuild;
  - nothing crashes and every reply comes within the read timeout.

With --record-game, one more game is typed in force mode until the game
record is full (12000 half-moves): the next move is refused, `go` plays
nothing, `ml` lists all 12000 moves and `undo` makes room again.

  python3 tools/soak.py --games 20 --depth 3
"""

import argparse
import os
import random
import re
import select
import subprocess
import sys
import time
from collections import Counter, deque

import chess_rules
from chess_rules import (find_legal, has_legal_move, in_check, legal_moves, make, move_text, own,
                         start_position)

# ---------------------------------------------------------------------------
# What is the engine's own: its result and draw lines, its rule of mating
# material, its board diagram; and the rules' self-check before a soak.

VALUES = {"P": 100, "N": 300, "B": 325, "R": 500, "Q": 900, "K": 0}
RESULT_LINES = {
    "white mates": "1-0 {White mates}",
    "black mates": "0-1 {Black mates}",
    "stalemate": "1/2-1/2 {Stalemate}",
}
REPETITION_LINES = ["tellics draw", "1/2-1/2 {Draw by repetition}"]
MATERIAL_LINES = ["tellics draw", "1/2-1/2 {Neither player has mating material}"]


def lacks_mating_material(pos, white):
    pieces = [c.upper() for c in pos.board if own(c, white)]
    total = sum(VALUES[p] for p in pieces)
    return total < VALUES["R"] or (total == 2 * VALUES["N"] and pieces.count("N") == 2)


def no_mating_material(pos):
    if any(c in "Pp" for c in pos.board):
        return False
    return lacks_mating_material(pos, True) and lacks_mating_material(pos, False)


def board_diagram(pos):
    """What `board` prints, line by line."""
    lines = [""]
    for r in range(7, -1, -1):
        lines.append(f"{r + 1} " + "".join(" " + pos.board[r * 8 + f] for f in range(8)))
    return lines + ["", "   a b c d e f g h", ""]


def check_rules():
    """The rules of chess_rules.py against the published counts."""
    for name, fen, depth, got, published in chess_rules.self_check():
        if got != published:
            raise Failure(f"the rules of tools/chess_rules.py are wrong: perft {depth} of {name} "
                          f"({fen}) is {got}, not {published}")


# ---------------------------------------------------------------------------
# The game as the engine should keep it.


class GameRecord:
    """The moves of the game, the positions after each, and the repetition
    count as the engine counts it."""

    def __init__(self):
        self.positions = [start_position()]
        self.moves = []
        self.keys = []
        self.window = Counter()  # keys since the last capture or pawn move

    @property
    def pos(self):
        return self.positions[-1]

    def play(self, move):
        after = make(self.pos, move)
        if after.halfmove == 0:
            self.window.clear()
        self.positions.append(after)
        self.moves.append(move)
        self.keys.append(after.key())
        self.window[after.key()] += 1

    def take_back(self):
        self.positions.pop()
        self.moves.pop()
        self.window[self.keys.pop()] -= 1
        # The window reaches back halfmove + 1 entries of the record.
        n = len(self.keys)
        start = max(0, n - self.pos.halfmove - 1)
        self.window = Counter(self.keys[start:])

    def repetitions(self):
        return self.window[self.pos.key()] if self.keys else 0

    def draw_lines(self):
        if self.repetitions() >= 3:
            return REPETITION_LINES
        if no_mating_material(self.pos):
            return MATERIAL_LINES
        return []


# ---------------------------------------------------------------------------
# The engine process.


class Failure(Exception):
    pass


class Engine:
    def __init__(self, command, timeout):
        self.timeout = timeout
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     bufsize=0)
        self.pending = b""
        self.log = deque(maxlen=60)

    def send(self, line):
        self.log.append("> " + line)
        try:
            self.proc.stdin.write((line + "\n").encode())
        except BrokenPipeError:
            raise Failure(f"engine gone (status {self.proc.poll()}) when sent {line!r}")

    def read_line(self):
        deadline = time.monotonic() + self.timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.proc.stdout], [], [], left)[0]:
                raise Failure(f"no reply within {self.timeout} s")
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                self.proc.wait(timeout=self.timeout)
                raise Failure(f"engine exited with status {self.proc.returncode}")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        text = line.decode("latin-1")
        self.log.append("< " + text)
        return text

    def expect(self, expected, what):
        for want in expected:
            got = self.read_line()
            if got != want:
                raise Failure(f"{what}: expected {want!r}, got {got!r}")

    def quit(self):
        self.send("quit")
        self.proc.stdin.close()
        try:
            rest = self.proc.stdout.read()
            status = self.proc.wait(timeout=self.timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise Failure("engine did not exit after quit")
        if rest or self.pending:
            raise Failure(f"output after quit: {(self.pending + rest)[:200]!r}")
        if status != 0:
            raise Failure(f"engine exited with status {status} after quit")


TABLE_REPORT = re.compile(r"Transpositional table:$")
THINKING = re.compile(r"^ *(\d+) +(-?\d+) +(\d+) +(\d+)((?: [a-h][1-8][a-h][1-8][nbrq]?)*)$")
MATE_NOTE = re.compile(r"^ *\d+ +10000 +\d+ +0 (Mate in \d+|Checkmate)$")
WHISPER_NOTE = re.compile(r"^tellics whisper (Mate in \d+|Checkmate)$")
WHISPER = re.compile(r"^tellics whisper Depth:(\d+) Score:-?\d+\.\d\d Time:\d+\.\d\d "
                     r"Nodes:\d+ NPS:\d+ PV:((?:[a-h][1-8][a-h][1-8][nbrq]? )*)$")


VERSION_LINE = re.compile(r'^constexpr const char\* ENGINE_VERSION = "(.*)";$', re.M)


def build_version(engine, build):
    """The version that the build's generated/version.h gives: that of the
    build folder BUILD, or else of the nearest folder above the engine that
    has one."""
    folder = build or os.path.dirname(os.path.abspath(engine))
    while not os.path.isfile(os.path.join(folder, "generated", "version.h")):
        parent = os.path.dirname(folder)
        if build or parent == folder:
            raise Failure(f"no generated/version.h in {build or 'a folder above ' + engine}; "
                          "give the engine's build folder with --build")
        folder = parent
    header = os.path.join(folder, "generated", "version.h")
    found = VERSION_LINE.search(open(header).read())
    if not found:
        raise Failure(f"{header} gives no ENGINE_VERSION")
    return found.group(1)


def check_line_of_play(pos, texts, what):
    for text in texts:
        move = find_legal(pos, text)
        if move is None:
            raise Failure(f"{what}: {text} is not legal (line {' '.join(texts)})")
        pos = make(pos, move)


MODES = ("self", "versus", "mixed", "random", "endings")


class Soak:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.engine = None
        self.stats = []
        self.counts = Counter()

    def note(self, lines):
        for line in lines:
            if line != "tellics draw":
                self.counts[line] += 1

    # -- the engine's replies ----------------------------------------------

    def read_table_report(self):
        first = self.engine.read_line()
        if not TABLE_REPORT.match(first):
            raise Failure(f"expected the table report, got {first!r}")
        for _ in range(3):
            self.engine.read_line()

    # Each step sends its command and `board` together, then reads the replies:
    # a reply line missing or in excess shows at once as a mismatch with the
    # diagram, rather than as a wait for a line that never comes.

    def sync(self):
        """`board`: the engine's board must be the game's."""
        self.engine.send("board")
        self.read_board()

    def read_board(self):
        self.engine.expect(board_diagram(self.game.pos), "board")

    def read_search_lines(self, root, what):
        """Thinking lines and mate notes, up to the first other line, which is
        returned."""
        while True:
            line = self.engine.read_line()
            m = THINKING.match(line)
            if m:
                check_line_of_play(root, m.group(5).split(), what + " thinking line")
                continue
            if MATE_NOTE.match(line) or WHISPER_NOTE.match(line):
                continue
            return line

    def engine_turn(self):
        """The engine moves for the side to move, or announces that it cannot."""
        game = self.game
        root = game.pos
        line = self.read_search_lines(root, "engine's turn")
        if not line.startswith("move "):
            # No legal move: mate or stalemate, announced by the search.
            if has_legal_move(root):
                raise Failure(f"expected 'move ...', got {line!r}")
            if in_check(root, root.white):
                want = RESULT_LINES["black mates" if root.white else "white mates"]
            else:
                want = RESULT_LINES["stalemate"]
            if line != want:
                raise Failure(f"no legal move: expected {want!r}, got {line!r}")
            self.note([line])
            self.engine_side = None
            return
        text = line[5:]
        move = find_legal(root, text)
        if move is None:
            raise Failure(f"the engine played {text}, which is not legal")
        whisper = WHISPER.match(self.engine.read_line())
        if not whisper:
            raise Failure(f"expected the whisper after {line!r}")
        pv = whisper.group(2).split()
        check_line_of_play(root, pv, "whisper")
        if pv and pv[0] != text:
            raise Failure(f"whisper PV starts with {pv[0]}, the move was {text}")
        game.play(move)
        expected = game.draw_lines()
        if not expected and not has_legal_move(game.pos):
            mover_white = root.white
            if in_check(game.pos, game.pos.white):
                expected = [RESULT_LINES["white mates" if mover_white else "black mates"]]
            else:
                expected = [RESULT_LINES["stalemate"]]
        self.engine.expect(expected, f"after the engine's {text}")
        self.counts["engine moves"] += 1
        self.note(expected)

    def engine_moves_now(self):
        return self.engine_side == self.game.pos.white

    def type_move(self, move):
        game = self.game
        self.engine.send(move_text(move))
        self.engine.send("board")
        game.play(move)
        expected = game.draw_lines()
        if expected == REPETITION_LINES:
            self.engine_side = None
        self.engine.expect(expected, f"after typed {move_text(move)}")
        self.counts["typed moves"] += 1
        self.note(expected)
        if self.engine_side is not None and self.engine_moves_now():
            self.engine_turn()
        self.read_board()

    def go(self):
        self.engine.send("go")
        self.engine.send("board")
        self.engine_side = self.game.pos.white
        self.engine_turn()
        self.read_board()

    def hint(self):
        pos = self.game.pos
        self.engine.send("hint")
        self.engine.send("board")
        line = self.read_search_lines(pos, "hint")
        if not line.startswith("Hint: ") or find_legal(pos, line[6:]) is None:
            raise Failure(f"hint: got {line!r}")
        self.counts["hints"] += 1
        self.read_board()

    def random_move(self, avoid_end=False, seek_end=False):
        """A random legal move; with avoid_end, one that leaves the opponent a
        legal reply, with seek_end one that does not, when there is such a move."""
        pos = self.game.pos
        moves = legal_moves(pos)
        self.rng.shuffle(moves)
        if avoid_end or seek_end:
            for m in moves:
                if has_legal_move(make(pos, m)) == avoid_end:
                    return m
        return moves[0] if moves else None

    # -- one game ----------------------------------------------------------

    def new_game(self):
        self.game = GameRecord()
        self.engine.send("new")
        self.read_table_report()
        self.engine.send("force")
        self.engine_side = None
        self.sync()

    def play_game(self, number):
        args, rng = self.args, self.rng
        mode = MODES[number % len(MODES)]
        limit = args.max_plies if mode == "random" else rng.randint(args.max_plies // 2, args.max_plies)
        self.new_game()
        for _ in range(rng.randint(2, 8)):
            self.type_move(self.random_move(avoid_end=True))
        random_side = rng.choice([True, False])
        while len(self.game.moves) < limit and has_legal_move(self.game.pos):
            pos = self.game.pos
            if rng.random() < args.hint_rate:
                self.hint()
            if mode == "versus" and pos.white == random_side:
                # The engine answers by itself, unless a repetition stopped it.
                self.type_move(self.random_move())
            elif mode == "mixed" and rng.random() < 0.15:
                self.type_move(self.random_move())
            elif mode == "random" and not no_mating_material(pos):
                if rng.random() < 0.05:
                    self.hint()
                self.type_move(self.random_move(avoid_end=True))
            elif mode == "endings" and rng.random() < 0.7:
                self.type_move(self.random_move(seek_end=True))
            else:
                self.go()
        if not has_legal_move(self.game.pos):
            # Asked to move in a finished game, the search announces the result.
            self.go()
        self.check_end_of_game()
        return mode

    def check_move_list(self):
        self.engine.send("ml")
        self.engine.send("board")
        self.engine.expect([f"{i}.{move_text(m)}" for i, m in enumerate(self.game.moves)], "ml")
        self.read_board()

    def check_end_of_game(self):
        """`ml`, then `undo` and `remove` restore the earlier positions, and the
        moves typed again rebuild the game."""
        self.engine.send("force")
        self.engine_side = None
        self.check_move_list()
        taken = []
        if len(self.game.moves) >= 1:
            self.engine.send("undo")
            taken.append(self.game.moves[-1])
            self.game.take_back()
            self.sync()
        if len(self.game.moves) >= 2:
            self.engine.send("remove")
            taken += [self.game.moves[-1], self.game.moves[-2]]
            self.game.take_back()
            self.game.take_back()
            self.sync()
        for move in reversed(taken):
            self.type_move(move)
        self.check_move_list()

    def record_game(self):
        """Fills the game record with random moves typed in force mode."""
        size = self.args.record_size
        self.new_game()
        while len(self.game.moves) < size:
            # A batch of moves and `board` are sent first, then the replies read.
            batch = []
            for _ in range(min(64, size - len(self.game.moves))):
                move = self.random_move(avoid_end=True)
                if move is None or not has_legal_move(make(self.game.pos, move)):
                    raise Failure("the random game ended before the record was full; "
                                  "try another seed")
                self.engine.send(move_text(move))
                self.game.play(move)
                batch.append((move, self.game.draw_lines()))
            self.engine.send("board")
            for move, expected in batch:
                self.engine.expect(expected, f"after typed {move_text(move)}")
                self.counts["typed moves"] += 1
                self.note(expected)
            self.read_board()
        # The record is full: a legal move is refused, with the draw tests after it.
        move = self.random_move(avoid_end=True)
        word = move_text(move)
        self.engine.send(word)
        self.engine.send("go")  # the engine cannot record its move: it stops, silently
        self.engine.send("board")
        expected = [f"Error (unknown command): {word}"] + self.game.draw_lines()
        self.engine.expect(expected, "a move into the full record")
        self.read_board()
        self.check_move_list()
        last = self.game.moves[-1]
        self.engine.send("undo")
        self.game.take_back()
        self.sync()
        self.type_move(last)
        self.check_move_list()
        return len(self.game.moves)

    # -- the run -----------------------------------------------------------

    def run(self):
        args = self.args
        check_rules()
        version = build_version(args.engine, args.build)
        command = [args.engine, "soak", str(args.table_exponent)]
        self.engine = Engine(command, args.timeout)
        self.engine.expect([f"Welcome to Karvosel Version {version}"], "banner")
        self.read_table_report()
        self.engine.send(f"sd {args.depth}")
        started = time.monotonic()
        for number in range(args.games):
            game_started = time.monotonic()
            mode = self.play_game(number)
            plies = len(self.game.moves)
            self.stats.append(plies)
            print(f"game {number + 1}: {mode:7} {plies:4} plies "
                  f"{time.monotonic() - game_started:6.1f} s", flush=True)
        if args.record_game:
            record_started = time.monotonic()
            plies = self.record_game()
            print(f"record game: {plies} plies typed, record full handled "
                  f"({time.monotonic() - record_started:.1f} s)", flush=True)
        self.engine.quit()
        long_games = sum(1 for p in self.stats if p > 300)
        print(f"{len(self.stats)} games, {sum(self.stats)} plies, longest {max(self.stats, default=0)}, "
              f"{long_games} beyond 300 plies, {time.monotonic() - started:.1f} s")
        for what, count in sorted(self.counts.items()):
            print(f"  {count:7} {what}")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--games", type=int, default=12)
    parser.add_argument("--depth", type=int, default=2, help="search depth (sd)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--max-plies", type=int, default=400,
                        help="ply limit: random games play to it, the others stop at a "
                        "random limit between half of it and it")
    parser.add_argument("--hint-rate", type=float, default=0.02,
                        help="chance of a `hint` before each move")
    parser.add_argument("--record-game", action="store_true",
                        help="also fill the whole game record in one game")
    parser.add_argument("--record-size", type=int, default=12000, help=argparse.SUPPRESS)
    parser.add_argument("--timeout", type=float, default=60, help="seconds allowed for each reply line")
    parser.add_argument("--table-exponent", type=int, default=16)
    parser.add_argument("--engine", default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                         "..", "build", "protocol", "karvosel"))
    parser.add_argument("--build", help="the engine's build folder, whose generated/version.h "
                        "gives the version of the banner (default: the nearest folder above "
                        "the engine that has one)")
    args = parser.parse_args()
    soak = Soak(args)
    try:
        soak.run()
    except Failure as failure:
        game = getattr(soak, "game", None)
        print(f"FAILED (seed {args.seed}, game {len(soak.stats) + 1}): {failure}", file=sys.stderr)
        if game is not None:
            print("moves: " + " ".join(move_text(m) for m in game.moves), file=sys.stderr)
        if soak.engine is not None:
            print("last lines exchanged:", file=sys.stderr)
            for line in soak.engine.log:
                print("  " + line, file=sys.stderr)
            soak.engine.proc.kill()
        sys.exit(1)


if __name__ == "__main__":
    main()
