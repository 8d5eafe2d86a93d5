#!/usr/bin/env python3
"""A match of karvosel-uci under cutechess-cli, and its summary.

    tools/uci-match.py --tc 2+0.02 --games 100 --opponent fairymax --out DIR
    tools/uci-match.py --st 0.1 --games 50 --opponent self --out DIR
    tools/uci-match.py --tc 10+0.1 --games 60 --option UCI_LimitStrength=true \
                       --option UCI_Elo=1400 --out DIR      (karvosel-uci's options)
    tools/uci-match.py --tc 8+0.08 --games 200 --opponent self --ponder --out DIR
    tools/uci-match.py --summary DIR...       (summarise matches already played)

Games start from tools/uci-openings.pgn, each opening played with both
colours, one game at a time unless --concurrency says otherwise. The summary
counts the results of karvosel-uci and every game it lost by a fault: a time
forfeit, an illegal move, a crash (disconnect) or a stall. For games with a
clock it also gives the clock karvosel-uci had left at the end of each game.
Exit status 1 when any such fault occurred.
"""
import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
ENGINE_NAME = "Karvosel"
FAULTS = {
    "time forfeit": re.compile(r"wins on time|loses on time|on time"),
    "illegal move": re.compile(r"illegal move", re.I),
    "crash": re.compile(r"disconnects|crash", re.I),
    "stall": re.compile(r"stalls|unresponsive", re.I),
}
# A host's complaint in the log, whoever lost the game: a bestmove while pondering.
WARNINGS = re.compile(r"premature", re.I)
FINISHED = re.compile(r"^Finished game (\d+) \((.+) vs (.+)\): (\S+) \{(.*)\}")


def run_match(args):
    os.makedirs(args.out, exist_ok=True)
    engine = args.engine or os.path.join(ROOT, "build", "protocol", "uci", "karvosel-uci")
    options = ["option.%s" % option for option in args.option]
    command = [args.cutechess,
               "-engine", "cmd=" + engine, "proto=uci", "name=%s A" % ENGINE_NAME] + options
    if args.opponent == "self":
        command += ["-engine", "cmd=" + engine, "proto=uci", "name=%s B" % ENGINE_NAME] + options
    else:
        command += ["-engine", "cmd=" + args.opponent_cmd, "proto=xboard", "name=Fairy-Max"]
    control = ["tc=" + args.tc] if args.tc else ["st=" + args.st]
    command += ["-each"] + control + (["ponder"] if args.ponder else [])
    command += ["-games", "2", "-rounds", str(args.games // 2), "-repeat",
                "-openings", "file=" + os.path.join(HERE, "uci-openings.pgn"), "format=pgn",
                "order=random", "-srand", str(args.seed),
                "-concurrency", str(args.concurrency),
                "-draw", "movenumber=40", "movecount=8", "score=5",
                "-maxmoves", "200",
                "-pgnout", os.path.join(args.out, "games.pgn"),
                "-event", "karvosel-uci %s" % (args.tc or "st=" + args.st)]
    with open(os.path.join(args.out, "control"), "w") as f:
        f.write((args.tc or "st=" + args.st) + "\n")
    with open(os.path.join(args.out, "options"), "w") as f:
        f.write(" ".join(args.option + (["ponder"] if args.ponder else [])) + "\n")
    with open(os.path.join(args.out, "match.log"), "w") as log:
        subprocess.run(command, stdout=log, stderr=subprocess.STDOUT, check=False)


def parse_control(text):
    """(base seconds, increment seconds) of a tc control, None for st."""
    text = text.strip()
    if text.startswith("st="):
        return None
    moves, _, rest = text.rpartition("/")
    base, _, increment = rest.partition("+")
    return float(base), float(increment or 0), int(moves) if moves else 0


def clock_left(pgn_game, side, control):
    """karvosel-uci's clock at the end of a game, from the move times."""
    base, increment, moves_per_control = control
    times = [float(t) for t in re.findall(r"\{[^}]*?(\d+(?:\.\d+)?)s\}", pgn_game)]
    own = times[side::2]
    left = base
    for number, used in enumerate(own, 1):
        left += increment - used
        if moves_per_control and number % moves_per_control == 0:
            left += base
    return left


def summarise(directory):
    control_file = os.path.join(directory, "control")
    control = parse_control(open(control_file).read()) if os.path.exists(control_file) else None
    games = 0
    score = {"win": 0, "draw": 0, "loss": 0, "decisive": 0}
    faults = {name: [] for name in FAULTS}
    others = {}
    warnings = []
    for line in open(os.path.join(directory, "match.log"), errors="replace"):
        if WARNINGS.search(line):
            warnings.append(line.strip())
        m = FINISHED.match(line)
        if not m:
            continue
        games += 1
        number, white, black, result, reason = m.groups()
        others[reason] = others.get(reason, 0) + 1
        ours = [white.startswith(ENGINE_NAME), black.startswith(ENGINE_NAME)]
        if result in ("1-0", "0-1"):
            loser = 1 if result == "1-0" else 0
            if ours[loser]:
                for name, pattern in FAULTS.items():
                    if pattern.search(reason):
                        faults[name].append("game %s: %s" % (number, reason))
            if all(ours):
                score["decisive"] += 1
            else:
                score["loss" if ours[loser] else "win"] += 1
        elif result == "1/2-1/2":
            score["draw"] += 1
    options_file = os.path.join(directory, "options")
    options = open(options_file).read().strip() if os.path.exists(options_file) else ""
    print("== %s (%s%s)" % (directory, open(control_file).read().strip()
                            if os.path.exists(control_file) else "?",
                            ", " + options if options else ""))
    if score["decisive"]:
        print("games %d (self-play); decisive %d, drawn %d" % (games, score["decisive"], score["draw"]))
    else:
        print("games %d; karvosel-uci +%d =%d -%d" % (games, score["win"], score["draw"], score["loss"]))
    for reason, count in sorted(others.items(), key=lambda item: -item[1]):
        print("  %4d  %s" % (count, reason))
    pgn = os.path.join(directory, "games.pgn")
    if control and os.path.exists(pgn):
        lefts = []
        for game in open(pgn, errors="replace").read().split("[Event ")[1:]:
            white = re.search(r'\[White "([^"]*)"\]', game).group(1)
            black = re.search(r'\[Black "([^"]*)"\]', game).group(1)
            body = game[game.find("\n\n"):]
            for side, name in enumerate((white, black)):
                if name.startswith(ENGINE_NAME):
                    lefts.append(clock_left(body, side, control))
        if lefts:
            print("clock left at the end of a game: least %.2f s, mean %.2f s (%d games)" %
                  (min(lefts), sum(lefts) / len(lefts), len(lefts)))
    bad = len(warnings)
    print("host warnings (premature bestmove): %d" % len(warnings))
    for item in warnings[:10]:
        print("    " + item)
    for name, items in faults.items():
        print("%s by karvosel-uci: %d" % (name, len(items)))
        for item in items:
            print("    " + item)
        bad += len(items)
    return games, bad


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tc", help="cutechess time control, e.g. 2+0.02 or 40/10")
    parser.add_argument("--st", help="seconds per move, e.g. 0.1")
    parser.add_argument("--games", type=int, default=100)
    parser.add_argument("--opponent", choices=("fairymax", "self"), default="fairymax")
    parser.add_argument("--opponent-cmd", default="/usr/games/fairymax")
    parser.add_argument("--engine", help="karvosel-uci binary (default: the release build)")
    parser.add_argument("--cutechess", default="/tmp/cutechess/build/cutechess-cli")
    parser.add_argument("--concurrency", type=int, default=1)
    parser.add_argument("--option", action="append", default=[], metavar="NAME=VALUE",
                        help="a karvosel-uci option for the match (repeatable)")
    parser.add_argument("--ponder", action="store_true", help="both engines ponder")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--out", help="directory for the log and the games")
    parser.add_argument("--summary", nargs="+", metavar="DIR", help="only summarise these matches")
    args = parser.parse_args()
    if args.summary:
        directories = args.summary
    else:
        if not args.out or bool(args.tc) == bool(args.st):
            parser.error("give --out and one of --tc, --st")
        run_match(args)
        directories = [args.out]
    total = bad = 0
    for directory in directories:
        games, faults = summarise(directory)
        total += games
        bad += faults
    if len(directories) > 1:
        print("== all: %d games, %d faults by karvosel-uci" % (total, bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
