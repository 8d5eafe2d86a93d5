#!/usr/bin/env python3
"""How engines spend their clocks, from a PGN with time-left comments.

Reads games whose moves carry comments with "tl=SECONDSs" (fastchess's
-pgnout timeleft=true) and a [TimeControl "BASE+INC"] tag, and prints for
each engine: the games it played, how many reached its 60th move, the share
of its clock (the base plus the increments of 60 moves) used by its 60th
move in those games (median, lowest, highest), and the least time it had
left after any move of any game.

  python3 tools/clock-use.py GAMES.pgn [MOVE]     (MOVE default 60)
"""
import re
import statistics
import sys

TAG = re.compile(r'^\[(\w+) "(.*)"\]')
TIME_LEFT = re.compile(r"tl=([0-9.]+)s")


def games(path):
    tags, moves = {}, []
    with open(path, encoding="utf-8") as pgn:
        for line in pgn:
            match = TAG.match(line)
            if match:
                if moves:
                    yield tags, " ".join(moves)
                    tags, moves = {}, []
                tags[match.group(1)] = match.group(2)
            elif line.strip():
                moves.append(line.strip())
    if moves:
        yield tags, " ".join(moves)


def main():
    path = sys.argv[1]
    by_move = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    shares, least, played = {}, {}, {}
    for tags, text in games(path):
        base, _, inc = tags.get("TimeControl", "0+0").partition("+")
        base, inc = float(base), float(inc or 0)
        left = [float(t) for t in TIME_LEFT.findall(text)]
        # Comments alternate from the first move out of book: white's first
        # if the book ended after black's move.
        sides = (tags["White"], tags["Black"])
        book = text.count("{book}")
        for i, seconds in enumerate(left):
            engine = sides[(book + i) % 2]
            least[engine] = min(least.get(engine, seconds), seconds)
        for k, engine in enumerate(sides):
            played[engine] = played.get(engine, 0) + 1
            own = [s for i, s in enumerate(left) if (book + i) % 2 == k]
            own_book = (book + (1 - k)) // 2
            index = by_move - own_book - 1
            if 0 <= index < len(own):
                total = base + by_move * inc
                shares.setdefault(engine, []).append((total - own[index]) / total)
    for engine in sorted(played):
        got = shares.get(engine, [])
        text = (f"median {statistics.median(got):.0%}, lowest {min(got):.0%}, "
                f"highest {max(got):.0%}" if got else "no game got there")
        print(f"{engine}: {played[engine]} games, {len(got)} reached move {by_move}: "
              f"clock used by then {text}; least time left {least.get(engine, 0):.3f} s")


if __name__ == "__main__":
    main()
