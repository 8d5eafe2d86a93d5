#!/usr/bin/env python3
"""The rules of chess, written from scratch for the tools, independent of the
engine's code: positions, move generation, legality, moves made, FEN, perft.
tools/soak.py checks the engine's every move and line of play with them, and
tools/match.py writes its opening books with them.

Squares are numbered a1 = 0 .. h8 = 63 (rank 1 first); the board is a list of
64 characters, "PNBRQK" for white, "pnbrqk" for black, "." empty. A move is
(from, to, promotion letter or "").

The rules check themselves against the published counts of the perft table,
tests/perft-table.txt (the soak does so before every run):

  python3 tools/chess_rules.py --self-check
"""

import argparse
import os
import sys

FILES = "abcdefgh"
KNIGHT_STEPS = [(1, 2), (2, 1), (2, -1), (1, -2), (-1, -2), (-2, -1), (-2, 1), (-1, 2)]
KING_STEPS = [(1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1)]
DIAGONALS = [(1, 1), (1, -1), (-1, 1), (-1, -1)]
LINES = [(1, 0), (-1, 0), (0, 1), (0, -1)]
START = list("RNBQKBNR" + "P" * 8 + "." * 32 + "p" * 8 + "rnbqkbnr")
# The castling right lost when a piece leaves or lands on these squares.
RIGHTS_AT = {4: "KQ", 7: "K", 0: "Q", 60: "kq", 63: "k", 56: "q"}


def square_name(s):
    return FILES[s % 8] + str(s // 8 + 1)


def parse_square(text):
    return FILES.index(text[0]) + 8 * (int(text[1]) - 1)


def on_board(f, r):
    return 0 <= f < 8 and 0 <= r < 8


def own(c, white):
    return c != "." and c.isupper() == white


class Position:
    """A position with everything its key needs: placement, side to move,
    castling rights, en-passant square (after every double step), and the
    half-move clock."""

    __slots__ = ("board", "white", "castling", "ep", "halfmove")

    def __init__(self, board, white, castling, ep, halfmove):
        self.board = board
        self.white = white
        self.castling = castling
        self.ep = ep
        self.halfmove = halfmove

    def key(self):
        return ("".join(self.board), self.white, self.castling, self.ep)


def start_position():
    return Position(list(START), True, "KQkq", None, 0)


def attacked(pos, s, by_white):
    b = pos.board
    f, r = s % 8, s // 8
    pawn_rank = r - 1 if by_white else r + 1
    pawn = "P" if by_white else "p"
    for df in (-1, 1):
        if on_board(f + df, pawn_rank) and b[pawn_rank * 8 + f + df] == pawn:
            return True
    for steps, kinds in ((KNIGHT_STEPS, "N"), (KING_STEPS, "K")):
        piece = kinds if by_white else kinds.lower()
        for df, dr in steps:
            if on_board(f + df, r + dr) and b[(r + dr) * 8 + f + df] == piece:
                return True
    for directions, kinds in ((DIAGONALS, "BQ"), (LINES, "RQ")):
        pieces = kinds if by_white else kinds.lower()
        for df, dr in directions:
            nf, nr = f + df, r + dr
            while on_board(nf, nr):
                c = b[nr * 8 + nf]
                if c != ".":
                    if c in pieces:
                        return True
                    break
                nf += df
                nr += dr
    return False


def king_of(pos, white):
    return pos.board.index("K" if white else "k")


def in_check(pos, white):
    return attacked(pos, king_of(pos, white), not white)


def pseudo_moves(pos):
    """Moves as (from, to, promotion letter or "")."""
    b, white = pos.board, pos.white
    moves = []
    forward = 1 if white else -1
    for s in range(64):
        c = b[s]
        if not own(c, white):
            continue
        f, r = s % 8, s // 8
        kind = c.upper()
        if kind == "P":
            last = 7 if white else 0
            one = s + 8 * forward
            targets = []
            if b[one] == ".":
                targets.append(one)
                if r == (1 if white else 6) and b[one + 8 * forward] == ".":
                    targets.append(one + 8 * forward)
            for df in (-1, 1):
                if on_board(f + df, r + forward):
                    t = (r + forward) * 8 + f + df
                    if (b[t] != "." and not own(b[t], white)) or t == pos.ep:
                        targets.append(t)
            for t in targets:
                if t // 8 == last:
                    moves.extend((s, t, p) for p in "qrbn")
                else:
                    moves.append((s, t, ""))
            continue
        if kind in "NK":
            for df, dr in KNIGHT_STEPS if kind == "N" else KING_STEPS:
                if on_board(f + df, r + dr):
                    t = (r + dr) * 8 + f + df
                    if not own(b[t], white):
                        moves.append((s, t, ""))
        if kind in "BRQ":
            directions = {"B": DIAGONALS, "R": LINES, "Q": DIAGONALS + LINES}[kind]
            for df, dr in directions:
                nf, nr = f + df, r + dr
                while on_board(nf, nr):
                    t = nr * 8 + nf
                    if own(b[t], white):
                        break
                    moves.append((s, t, ""))
                    if b[t] != ".":
                        break
                    nf += df
                    nr += dr
    # Castling: the right, the rook, empty squares between, and a king that
    # neither stands, passes nor lands on an attacked square.
    home = 0 if white else 56
    king, rook = ("K", "R") if white else ("k", "r")
    if b[home + 4] == king:
        for right, rook_at, between, passes in (("K", 7, (5, 6), (4, 5, 6)),
                                               ("Q", 0, (1, 2, 3), (4, 3, 2))):
            if (right if white else right.lower()) not in pos.castling:
                continue
            if b[home + rook_at] != rook or any(b[home + x] != "." for x in between):
                continue
            if any(attacked(pos, home + x, not white) for x in passes):
                continue
            moves.append((home + 4, home + (6 if right == "K" else 2), ""))
    return moves


def make(pos, move):
    """The position after a pseudo-legal move (legality not tested)."""
    s, t, promotion = move
    b = list(pos.board)
    c = b[s]
    kind = c.upper()
    irreversible = kind == "P" or b[t] != "."
    if kind == "P" and t == pos.ep and b[t] == ".":
        b[t - 8 if pos.white else t + 8] = "."
    if kind == "K" and abs(t - s) == 2:
        rook_from, rook_to = (s + 3, s + 1) if t > s else (s - 4, s - 1)
        b[rook_to], b[rook_from] = b[rook_from], "."
    b[t] = (promotion.upper() if pos.white else promotion) if promotion else c
    b[s] = "."
    castling = pos.castling
    for x in (s, t):
        for right in RIGHTS_AT.get(x, ""):
            castling = castling.replace(right, "")
    ep = (s + t) // 2 if kind == "P" and abs(t - s) == 16 else None
    return Position(b, not pos.white, castling, ep, 0 if irreversible else pos.halfmove + 1)


def is_legal_after(pos, after):
    return not in_check(after, pos.white)


def legal_moves(pos):
    return [m for m in pseudo_moves(pos) if is_legal_after(pos, make(pos, m))]


def has_legal_move(pos):
    return any(is_legal_after(pos, make(pos, m)) for m in pseudo_moves(pos))


def move_text(move):
    s, t, promotion = move
    return square_name(s) + square_name(t) + promotion


def find_legal(pos, text):
    """The legal move the text names, or None."""
    for m in legal_moves(pos):
        if move_text(m) == text:
            return m
    return None



def from_fen(fen):
    placement, side, castling, ep = fen.split()[:4]
    board = ["."] * 64
    for i, row in enumerate(placement.split("/")):
        f = 0
        for c in row:
            if c.isdigit():
                f += int(c)
            else:
                board[(7 - i) * 8 + f] = c
                f += 1
    return Position(board, side == "w", "" if castling == "-" else castling,
                    None if ep == "-" else parse_square(ep), 0)


def perft(pos, depth):
    if depth == 0:
        return 1
    return sum(perft(make(pos, m), depth - 1) for m in legal_moves(pos))


# ---------------------------------------------------------------------------
# The self-check against the perft table.

PERFT_TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                           "perft-table.txt")
# Each position is counted to the deepest depth with at most this many leaves:
# a second or so in all.
CHECK_LEAVES = 50000


def read_perft_table(path=PERFT_TABLE):
    """(name, FEN, leaf counts for depth 1, 2, ...) of each position of the table."""
    table = []
    with open(path) as lines:
        for line in lines:
            if not line.strip() or line.startswith("#"):
                continue
            name, fen, counts = (field.strip() for field in line.split("|"))
            table.append((name, fen, [int(count) for count in counts.split()]))
    return table


def self_check():
    """(name, FEN, depth, leaves counted here, leaves published) for each
    position of the perft table."""
    for name, fen, counts in read_perft_table():
        depth = max(d for d, count in enumerate(counts, 1) if count <= CHECK_LEAVES or d == 1)
        yield name, fen, depth, perft(from_fen(fen), depth), counts[depth - 1]


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--self-check", action="store_true",
                        help="count the perft table's positions and compare")
    args = parser.parse_args()
    if not args.self_check:
        parser.error("nothing to do: give --self-check")
    wrong = 0
    for name, fen, depth, got, published in self_check():
        if got == published:
            print(f"ok   {name} depth {depth}  {got}")
        else:
            print(f"FAIL {name} depth {depth}  counted {got}, published {published}  {fen}")
            wrong += 1
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
