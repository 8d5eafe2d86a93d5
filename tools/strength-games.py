#!/usr/bin/env python3
"""Games that calibrate karvosel-uci's UCI_Elo, and the ratings they give.

    tools/strength-games.py --elo 800,1200,1600,2000 --rounds 4 --st 0.2 --out DIR
    tools/strength-games.py --summary DIR [--anchor 1600]

A round robin under cutechess-cli among karvosel-uci at each UCI_Elo given
(UCI_LimitStrength on), karvosel-uci at full strength and Fairy-Max, each
pair playing every opening of tools/uci-openings.pgn with both colours. The
summary fits one rating per player to all the games (the logistic Elo model,
maximum likelihood, a drawn game half a win) with Fairy-Max held at the
anchor rating, and prints each player's games, score and rating with its 95%
interval. Each player also gets one virtual draw against the anchor, as
rating tools do, so that a player who lost every game still gets a finite
rating.
"""
import argparse
import math
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
ANCHOR = "Fairy-Max"
FULL = "Karvosel full"
K = math.log(10) / 400


def level_name(elo):
    return "Karvosel %d" % elo


def run_games(args):
    os.makedirs(args.out, exist_ok=True)
    engine = args.engine or os.path.join(ROOT, "build", "protocol", "uci", "karvosel-uci")
    command = [args.cutechess, "-tournament", "round-robin"]
    for elo in args.elo:
        command += ["-engine", "cmd=" + engine, "proto=uci", "name=" + level_name(elo),
                    "option.UCI_LimitStrength=true", "option.UCI_Elo=%d" % elo]
    command += ["-engine", "cmd=" + engine, "proto=uci", "name=" + FULL]
    command += ["-engine", "cmd=" + args.opponent_cmd, "proto=xboard", "name=" + ANCHOR]
    command += ["-each", "st=" + args.st,
                "-games", "2", "-rounds", str(args.rounds), "-repeat",
                "-openings", "file=" + os.path.join(HERE, "uci-openings.pgn"), "format=pgn",
                "order=random", "-srand", str(args.seed),
                "-concurrency", str(args.concurrency),
                "-draw", "movenumber=40", "movecount=8", "score=5",
                "-resign", "movecount=4", "score=800",
                "-maxmoves", "200",
                "-pgnout", os.path.join(args.out, "games.pgn")]
    with open(os.path.join(args.out, "match.log"), "w") as log:
        subprocess.run(command, stdout=log, stderr=subprocess.STDOUT, check=False)


def read_games(directory):
    """(white, black, white's score) for each finished game."""
    games = []
    text = open(os.path.join(directory, "games.pgn"), errors="replace").read()
    for game in text.split("[Event ")[1:]:
        white = re.search(r'\[White "([^"]*)"\]', game).group(1)
        black = re.search(r'\[Black "([^"]*)"\]', game).group(1)
        result = re.search(r'\[Result "([^"]*)"\]', game).group(1)
        score = {"1-0": 1.0, "0-1": 0.0, "1/2-1/2": 0.5}.get(result)
        if score is not None:
            games.append((white, black, score))
    return games


def solve(matrix, vector):
    """matrix x = vector by Gaussian elimination with partial pivoting."""
    n = len(vector)
    rows = [matrix[i][:] + [vector[i]] for i in range(n)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(rows[r][col]))
        rows[col], rows[pivot] = rows[pivot], rows[col]
        for r in range(n):
            if r != col:
                factor = rows[r][col] / rows[col][col]
                for c in range(col, n + 1):
                    rows[r][c] -= factor * rows[col][c]
    return [rows[i][n] / rows[i][i] for i in range(n)]


def fit(games, anchor_rating):
    """Ratings and 95% half-widths, the anchor fixed at anchor_rating."""
    players = sorted({p for g in games for p in g[:2]} - {ANCHOR})
    rating = {p: anchor_rating for p in players}
    rating[ANCHOR] = anchor_rating
    # The prior: one virtual draw against the anchor for each player.
    weighted = [(w, b, s, 1.0) for w, b, s in games] + [(p, ANCHOR, 0.5, 1.0) for p in players]
    index = {p: i for i, p in enumerate(players)}
    n = len(players)
    for _ in range(100):
        gradient = [0.0] * n
        hessian = [[0.0] * n for _ in range(n)]
        for white, black, score, weight in weighted:
            p = 1 / (1 + 10 ** ((rating[black] - rating[white]) / 400))
            curvature = weight * K * K * p * (1 - p)
            for name, sign in ((white, 1), (black, -1)):
                if name in index:
                    gradient[index[name]] += sign * weight * K * (score - p)
            for a in (white, black):
                for b in (white, black):
                    if a in index and b in index:
                        hessian[index[a]][index[b]] += curvature if a == b else -curvature
        step = solve(hessian, gradient)
        for p in players:
            rating[p] += step[index[p]]
        if max(abs(s) for s in step) < 0.01:
            break
    widths = {}
    for p in players:
        unit = [0.0] * n
        unit[index[p]] = 1.0
        widths[p] = 1.96 * math.sqrt(solve(hessian, unit)[index[p]])
    return rating, widths


def summarise(directories, anchor_rating):
    games = [g for d in directories for g in read_games(d)]
    rating, widths = fit(games, anchor_rating)
    print("%d games; %s held at %d" % (len(games), ANCHOR, anchor_rating))
    print("%-16s %6s %7s %7s %6s" % ("player", "games", "score", "rating", "95%"))
    for player in sorted(rating, key=lambda p: rating[p]):
        played = [g for g in games if player in g[:2]]
        points = sum(s if w == player else 1 - s for w, b, s in played)
        print("%-16s %6d %6.1f%% %7.0f %6s" % (
            player, len(played), 100 * points / max(1, len(played)), rating[player],
            "" if player == ANCHOR else "±%.0f" % widths[player]))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--elo", type=lambda t: [int(x) for x in t.split(",")],
                        help="the UCI_Elo settings, e.g. 800,1200,1600,2000")
    parser.add_argument("--rounds", type=int, default=4,
                        help="openings per pair (two games each)")
    parser.add_argument("--st", default="0.2", help="seconds per move for every player")
    parser.add_argument("--engine", help="karvosel-uci binary (default: the release build)")
    parser.add_argument("--opponent-cmd", default="/usr/games/fairymax")
    parser.add_argument("--cutechess", default="/tmp/cutechess/build/cutechess-cli")
    parser.add_argument("--concurrency", type=int, default=2)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--anchor", type=int, default=1600,
                        help="the rating assumed for Fairy-Max at this control")
    parser.add_argument("--out", help="directory for the log and the games")
    parser.add_argument("--summary", nargs="+", metavar="DIR", help="only fit games already played")
    args = parser.parse_args()
    if args.summary:
        return summarise(args.summary, args.anchor)
    if not args.out or not args.elo:
        parser.error("give --out and --elo")
    run_games(args)
    return summarise([args.out], args.anchor)


if __name__ == "__main__":
    sys.exit(main())
