#!/usr/bin/env python3
"""Real games under a real host: the engine against Fairy-Max or itself.

Plays a match under cutechess-cli or under xboard in match mode (no window,
on an Xvfb display of its own), then reads the games (PGN) and the host's log
and prints a summary: results, and every fault of the engine: an illegal
move, a crash or exit, a stall, a time forfeit, a false claim.

Controls (--control):
  depth:N     fixed depth N for both players (a generous clock still runs, so
              that a hang ends as a stall or a time loss, not as a hung match)
  st:N        N seconds per move
  moves:M/S   M moves in S seconds, repeating
  inc:B+I     B minutes plus I seconds a move

Each opening of a generated book (random legal moves from the start, seeded)
is played twice with colours reversed, since both engines are deterministic.
A time loss at a control without increment whose loser had 10 s or less left
before its last move is counted apart: below 10 s the engine searches to a
fixed depth 5 without a time limit, as it is meant to.

  python3 tools/match.py --host cutechess --opponent fairymax --games 200 \
      --control depth:4 --out /tmp/games/fm-d4
  python3 tools/match.py --summary /tmp/games/fm-d4     (read an earlier run)
"""

import argparse
import json
import os
import random
import re
import select
import signal
import subprocess
import sys
import time
from collections import Counter

import chess_rules

CUTECHESS = "/tmp/cutechess/build/cutechess-cli"
XBOARD = "/usr/games/xboard"
FAIRYMAX = "/usr/games/fairymax"
ENGINE_NAME = "karvosel"
LOW_TIME_S = 10

# ---------------------------------------------------------------------------
# The opening book: random legal moves from the start, written in SAN.


def san(pos, move):
    s, t, promotion = move
    piece = pos.board[s].upper()
    capture = pos.board[t] != "." or (piece == "P" and t == pos.ep)
    if piece == "K" and abs(t - s) == 2:
        text = "O-O" if t > s else "O-O-O"
    elif piece == "P":
        text = (chess_rules.FILES[s % 8] + "x" if capture else "") + chess_rules.square_name(t)
        if promotion:
            text += "=" + promotion.upper()
    else:
        rivals = [m for m in chess_rules.legal_moves(pos)
                  if m[1] == t and m[0] != s and pos.board[m[0]].upper() == piece]
        mark = ""
        if rivals:
            if all(m[0] % 8 != s % 8 for m in rivals):
                mark = chess_rules.FILES[s % 8]
            elif all(m[0] // 8 != s // 8 for m in rivals):
                mark = str(s // 8 + 1)
            else:
                mark = chess_rules.square_name(s)
        text = piece + mark + ("x" if capture else "") + chess_rules.square_name(t)
    after = chess_rules.make(pos, move)
    if chess_rules.in_check(after, after.white):
        text += "+" if chess_rules.has_legal_move(after) else "#"
    return text


def write_openings(path, count, plies, seed):
    rng = random.Random(seed)
    with open(path, "w") as out:
        for n in range(count):
            pos = chess_rules.start_position()
            words = []
            for p in range(plies):
                moves = chess_rules.legal_moves(pos)
                # Keep openings short of mate, so every game is a real game.
                moves = [m for m in moves if chess_rules.has_legal_move(chess_rules.make(pos, m))]
                move = rng.choice(moves)
                if p % 2 == 0:
                    words.append("%d." % (p // 2 + 1))
                words.append(san(pos, move))
                pos = chess_rules.make(pos, move)
            out.write('[Event "opening %d"]\n[Result "*"]\n\n%s *\n\n' % (n + 1, " ".join(words)))


# ---------------------------------------------------------------------------
# Running a match.


def parse_control(text):
    kind, _, value = text.partition(":")
    if kind == "depth":
        return {"kind": kind, "depth": int(value)}
    if kind == "st":
        return {"kind": kind, "seconds": int(value)}
    if kind == "moves":
        moves, seconds = value.split("/")
        return {"kind": kind, "moves": int(moves), "seconds": int(seconds)}
    if kind == "inc":
        minutes, increment = value.split("+")
        return {"kind": kind, "minutes": int(minutes), "increment": int(increment)}
    raise SystemExit("unknown control: " + text)


def cutechess_command(args, control, openings, out):
    second = (["-engine", "cmd=" + FAIRYMAX, "proto=xboard", "name=fairymax"]
              if args.opponent == "fairymax" else
              ["-engine", "cmd=" + args.engine, "proto=xboard", "name=%s-2" % ENGINE_NAME])
    each = ["proto=xboard"]
    if control["kind"] == "depth":
        each += ["depth=%d" % control["depth"], "tc=40/600"]
    elif control["kind"] == "st":
        each += ["st=%d" % control["seconds"]]
    elif control["kind"] == "moves":
        each += ["tc=%d/%d" % (control["moves"], control["seconds"])]
    else:
        each += ["tc=%d+%d" % (control["minutes"] * 60, control["increment"])]
    return ([CUTECHESS, "-engine", "cmd=" + args.engine, "name=" + ENGINE_NAME] + second +
            ["-each"] + each +
            ["-games", str(args.games), "-repeat", "-concurrency", str(args.concurrency),
             "-openings", "file=" + openings, "format=pgn", "order=sequential",
             "-pgnout", os.path.join(out, "games.pgn"), "-debug", "all"])


def xboard_command(args, control, openings, out):
    second = FAIRYMAX if args.opponent == "fairymax" else args.engine
    command = [XBOARD, "-fcp", args.engine, "-fd", out, "-scp", second, "-sd", out,
               "-mg", str(args.games), "-noGUI", "-sgf", os.path.join(out, "games.pgn"),
               "-lgf", openings, "-lgi", "-2", "-autoCallFlag", "true", "-testClaims", "true",
               "-xponder", "-debug", "-nameOfDebugFile", os.path.join(out, "host.log")]
    if control["kind"] == "depth":
        command += ["-depth", str(control["depth"]), "-mps", "40", "-tc", "10"]
    elif control["kind"] == "st":
        command += ["-searchTime", "0:%02d" % control["seconds"]]
    elif control["kind"] == "moves":
        command += ["-mps", str(control["moves"]), "-tc", "0:%02d" % control["seconds"]]
    else:
        command += ["-tc", str(control["minutes"]), "-inc", str(control["increment"])]
    return command


def run_match(args):
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    control = parse_control(args.control)
    openings = os.path.join(out, "openings.pgn")
    write_openings(openings, (args.games + 1) // 2, args.opening_plies, args.seed)
    with open(os.path.join(out, "match.json"), "w") as f:
        json.dump({"host": args.host, "opponent": args.opponent, "games": args.games,
                   "control": control, "control_text": args.control,
                   "concurrency": args.concurrency}, f)
    started = time.time()
    console = open(os.path.join(out, "host.out"), "w")
    if args.host == "cutechess":
        command = cutechess_command(args, control, openings, out)
        # cutechess writes its debug log to standard output.
        with open(os.path.join(out, "host.log"), "w") as log:
            subprocess.run(command, stdout=log, stderr=console, stdin=subprocess.DEVNULL,
                           timeout=args.timeout, cwd=out)
    else:
        display = ":%d" % (100 + os.getpid() % 800)
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(1)
            env = dict(os.environ, DISPLAY=display)
            command = xboard_command(args, control, openings, out)
            host = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL, env=env, cwd=out, text=True)
            deadline = started + args.timeout
            # xboard without a window stays up after its match: end it once
            # it has printed the final score.
            while time.time() < deadline:
                ready, _, _ = select.select([host.stdout], [], [], 5)
                if not ready:
                    if host.poll() is not None:
                        break
                    continue
                line = host.stdout.readline()
                if not line:
                    break
                console.write(line)
                console.flush()
                if "final score" in line:
                    break
            host.send_signal(signal.SIGTERM)
            try:
                host.wait(timeout=10)
            except subprocess.TimeoutExpired:
                host.kill()
                host.wait()
        finally:
            xvfb.terminate()
            xvfb.wait()
    console.close()
    with open(os.path.join(out, "match.json")) as f:
        info = json.load(f)
    info["seconds"] = round(time.time() - started)
    with open(os.path.join(out, "match.json"), "w") as f:
        json.dump(info, f)


# ---------------------------------------------------------------------------
# Reading the games and the host's log.

TAG = re.compile(r'^\[(\w+) "(.*)"\]')
RESULT_TOKEN = re.compile(r"(1-0|0-1|1/2-1/2|\*)\s*$")


def read_pgn(path):
    games = []
    if not os.path.exists(path):
        return games
    game = None
    for line in open(path, errors="replace"):
        m = TAG.match(line)
        if m:
            if game is None or game["moves"]:
                game = {"tags": {}, "moves": ""}
                games.append(game)
            game["tags"][m.group(1)] = m.group(2)
        elif game is not None:
            game["moves"] += line
    for g in games:
        text = g["moves"]
        comments = re.findall(r"\{([^}]*)\}", text)
        reason = comments[-1].strip() if comments else ""
        # cutechess puts the last move's score and time before the reason.
        g["reason"] = re.sub(r"^[-+]?[\d.M]+/\d+ [\d.]+s?, ", "", reason)
        # The move comments: "score/depth time" (cutechess: "0.12s"; xboard: whole seconds).
        g["times"] = [float(t) for t in re.findall(r"\{[-+]?[\d.M]+/\d+ ([\d.]+)s?\}", text)]
        g["plies"] = len(re.findall(r"\{[-+]?[\d.M]+/\d+", text))
    return games


def is_engine(name):
    return name.lower().startswith(ENGINE_NAME)


def side_to_move_at_end(game):
    text = re.sub(r"\{[^}]*\}", " ", game["moves"])
    moves = [t for t in text.split() if not re.match(r"^(\d+\.+|1-0|0-1|1/2-1/2|\*)$", t)]
    return "White" if len(moves) % 2 == 0 else "Black"


def loser_colour(game):
    result = game["tags"].get("Result", "*")
    # A flag that falls against a bare king is a draw: the side to move flagged.
    if result == "1/2-1/2" and "timeout" in game["reason"].lower():
        return side_to_move_at_end(game)
    return {"1-0": "Black", "0-1": "White"}.get(result)


def clock_before_last_move(game, colour, control):
    """The loser's clock before its last move, from the move times."""
    if control["kind"] != "moves":
        return None
    times = game["times"][0 if colour == "White" else 1::2]
    clock = control["seconds"]
    for n, t in enumerate(times[:-1], 1):
        clock -= t
        if n % control["moves"] == 0:
            clock += control["seconds"]
    return clock


MATERIAL_CLAIM = "Neither player has mating material"


def classify(game, control, claims, after_time_loss):
    """The engine faults of one game, as (kind, text) pairs. `claims` holds
    the texts of the engine's refused claims that the host logged, in order;
    `after_time_loss` tells that the game before ended with the engine's time
    loss."""
    faults = []
    reason = game["reason"]
    low = reason.lower()
    loser = loser_colour(game)
    names = {"White": game["tags"].get("White", ""), "Black": game["tags"].get("Black", "")}
    if loser and not is_engine(names[loser]):
        return faults
    if ("illegal" in low or "invalid move" in low) and "claim" not in low:
        # An engine of protocol version 1 that still thinks when the host ends
        # the game on time prints its move into the next game.
        faults.append(("illegal move" + (" (a move left over from the game before, lost on time)"
                                         if after_time_loss else ""), reason))
    elif "disconnect" in low or "exited" in low or "terminat" in low or "crash" in low:
        faults.append(("crash or exit", reason))
    elif "stall" in low:
        faults.append(("stall", reason))
    elif "time" in low or "flag" in low or "forfeit" in low:
        clock = clock_before_last_move(game, loser, control) if loser else None
        if clock is not None and clock <= LOW_TIME_S:
            faults.append(("time loss in the depth-5 low-time mode", reason))
        else:
            faults.append(("time forfeit", reason))
    elif "claim" in low:
        claim = claims.pop(0) if claims else reason
        # The engine announces king and minor piece against king and minor
        # piece as a dead draw, which the hosts' rules do not.
        faults.append(("refused draw claim by the engine's material rule" if MATERIAL_CLAIM in claim + reason
                       else "false claim", reason))
    elif game["tags"].get("Result", "*") == "*":
        faults.append(("unfinished game", reason or "no result"))
    return faults


def host_log_faults(path, host):
    """Lines of the host's log that tell of an engine fault whatever the result said."""
    faults = Counter()
    if not os.path.exists(path):
        return faults
    patterns = {
        "xboard": [("crash or exit", re.compile(r"exited unexpectedly"))],
        "cutechess": [("crash or exit", re.compile(r"Engine .* (crashed|terminated)"))],
    }[host]
    for line in open(path, errors="replace"):
        for kind, pattern in patterns:
            if pattern.search(line):
                faults[kind] += 1
    return faults


def refused_claims(path):
    """The engine's result lines that cutechess refused, in the order of the
    games: the last result line an engine printed before the host's
    "Invalid result claim"."""
    claims = []
    if not os.path.exists(path):
        return claims
    last = None
    result_line = re.compile(r"<%s[^(]*\(\d+\): ((1-0|0-1|1/2-1/2) \{.*\})" % ENGINE_NAME)
    for line in open(path, errors="replace"):
        m = result_line.search(line)
        if m:
            last = m.group(1)
        elif "Invalid result claim" in line and line.startswith("Finished game"):
            claims.append(last or "")
    return claims


def summarize(out):
    with open(os.path.join(out, "match.json")) as f:
        info = json.load(f)
    games = read_pgn(os.path.join(out, "games.pgn"))
    control = info["control"]
    print("== %s: %s vs %s, control %s, %d of %d games, %s s, concurrency %d"
          % (out, info["host"], info["opponent"], info["control_text"], len(games),
             info["games"], info.get("seconds", "?"), info["concurrency"]))
    score = Counter()
    reasons = Counter()
    faults = []
    claims = refused_claims(os.path.join(out, "host.log"))
    lost_on_time = False
    for n, g in enumerate(games, 1):
        white, black = g["tags"].get("White", "?"), g["tags"].get("Black", "?")
        result = g["tags"].get("Result", "*")
        reasons[g["reason"]] += 1
        if info["opponent"] == "fairymax":
            engine_white = is_engine(white)
            if result == "1/2-1/2":
                score["draws"] += 1
            elif result in ("1-0", "0-1"):
                won = (result == "1-0") == engine_white
                score["engine wins" if won else "engine losses"] += 1
            else:
                score["unfinished"] += 1
        else:
            score[{"1-0": "white wins", "0-1": "black wins", "1/2-1/2": "draws"}.get(result, "unfinished")] += 1
        kinds_here = []
        for kind, text in classify(g, control, claims, lost_on_time):
            faults.append((kind, n, white, black, text))
            kinds_here.append(kind)
        lost_on_time = any("time" in kind for kind in kinds_here)
    print("results: " + ", ".join("%s %d" % kv for kv in sorted(score.items())))
    print("endings: " + "; ".join("%s: %d" % kv for kv in reasons.most_common()))
    plies = [g["plies"] for g in games]
    if plies:
        print("moves with comments per game: mean %.0f, max %d" % (sum(plies) / len(plies), max(plies)))
    kinds = Counter(kind for kind, *_ in faults)
    logged = host_log_faults(os.path.join(out, "host.log"), info["host"])
    for kind, number, white, black, text in faults:
        print("FAULT game %d (%s vs %s): %s {%s}" % (number, white, black, kind, text))
    for kind, count in logged.items():
        print("FAULT in the host's log: %s, %d line(s)" % (kind, count))
    missing = info["games"] - len(games)
    if missing > 0:
        print("FAULT: %d game(s) missing from the PGN" % missing)
    total = sum(kinds.values()) + sum(logged.values()) + max(missing, 0)
    print("faults: %d%s" % (total, " (" + ", ".join("%s %d" % kv for kv in kinds.items()) + ")"
                            if kinds else ""))
    return len(games), total


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--host", choices=["cutechess", "xboard"], default="cutechess")
    parser.add_argument("--opponent", choices=["fairymax", "self"], default="fairymax")
    parser.add_argument("--games", type=int, default=20)
    parser.add_argument("--control", default="depth:4")
    parser.add_argument("--concurrency", type=int, default=1, help="cutechess only")
    parser.add_argument("--engine", default="build/protocol/karvosel")
    parser.add_argument("--out", help="folder for the games, logs and book")
    parser.add_argument("--seed", type=int, default=1, help="seed of the opening book")
    parser.add_argument("--opening-plies", type=int, default=6)
    parser.add_argument("--timeout", type=int, default=4 * 3600, help="seconds for the whole match")
    parser.add_argument("--summary", nargs="*", metavar="FOLDER", help="only read earlier runs")
    args = parser.parse_args()
    if args.summary:
        total_games = total_faults = 0
        for folder in args.summary:
            games, faults = summarize(folder)
            total_games += games
            total_faults += faults
        print("== all: %d games, %d faults" % (total_games, total_faults))
        return 1 if total_faults else 0
    if not args.out:
        parser.error("--out is needed to play")
    args.engine = os.path.abspath(args.engine)
    run_match(args)
    _, faults = summarize(os.path.abspath(args.out))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
