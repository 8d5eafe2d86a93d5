#!/usr/bin/env python3
"""Writes long_game.in and long_game.out: a game of more than 300 half-moves
typed in force mode, then ml, undo and board at its end.

The game: all four knights circle between their home squares and c3/f3/c6/f6
(back at the start after 8 half-moves), and every KNIGHT_MOVES half-moves one
pawn steps forward, which closes the repetition window. A position may thus
stand twice within a window but never three times, until the last pawn move
is followed by 16 knight moves: the 16th repeats the position after that pawn
move for the third time. Then ml, undo 3 times, board, and the 3 moves again,
the last of which is again the third repetition.

The expected output is worked out here from the rules, not taken from the
engine: ml echoes the moves, the board is kept by this script, and the
repetition lines are printed where a small model of the repetition rule
(positions since the last pawn move, en-passant square included) finds a
third occurrence. Run it from any directory; it writes next to itself.
"""
import os

KNIGHT_MOVES = 10  # knight half-moves between two pawn moves; even, so pawn moves alternate sides
FINAL_KNIGHT_MOVES = 16
UNDONE = 3

WHITE_CYCLE = ["g1f3", "b1c3", "f3g1", "c3b1"]
BLACK_CYCLE = ["g8f6", "b8c6", "f6g8", "c6b8"]
# White pawns go to rank 4 and black pawns to rank 5, so none ever meets another
# on its file; the c and f pawns step twice at once past the knights' squares.
WHITE_PAWNS = ["c2c4", "f2f4", "a2a3", "a3a4", "b2b3", "b3b4", "d2d3", "d3d4",
               "e2e3", "e3e4", "g2g3", "g3g4", "h2h3", "h3h4"]
BLACK_PAWNS = ["c7c5", "f7f5", "a7a6", "a6a5", "b7b6", "b6b5", "d7d6", "d6d5",
               "e7e6", "e6e5", "g7g6", "g6g5", "h7h6", "h6h5"]

BANNER = "Welcome to Karvosel Version 1.12\n"
TABLE = "Transpositional table:\nEntries = 1024K\nSize    = 12288K\n\n"
REPETITION = "tellics draw\n1/2-1/2 {Draw by repetition}\n"


class Game:
    def __init__(self):
        self.board = {}
        for file_index, piece in enumerate("RNBQKBNR"):
            f = "abcdefgh"[file_index]
            self.board[f + "1"], self.board[f + "2"] = piece, "P"
            self.board[f + "8"], self.board[f + "7"] = piece.lower(), "p"
        self.white_to_move = True
        self.ep_square = None
        self.moves = []      # text of each half-move
        self.keys = []       # position after each half-move
        self.pawn_move = []  # whether each half-move was a pawn move
        self.saved = []      # what undo restores

    def can_push(self, move):
        """Whether a pawn step (single or double) finds its squares empty."""
        src, dst = move[:2], move[2:4]
        between = [src[0] + str(rank) for rank in range(min(int(src[1]), int(dst[1])) + 1,
                                                         max(int(src[1]), int(dst[1])))]
        return src in self.board and all(square not in self.board for square in between + [dst])

    def key(self):
        return (tuple(sorted(self.board.items())), self.white_to_move, self.ep_square)

    def play(self, move):
        src, dst = move[:2], move[2:4]
        piece = self.board[src]
        assert piece.isupper() == self.white_to_move, move
        assert dst not in self.board, move  # nothing is ever captured
        is_pawn = piece in "Pp"
        if is_pawn and abs(int(dst[1]) - int(src[1])) == 2:
            passed = src[0] + str((int(src[1]) + int(dst[1])) // 2)
            assert passed not in self.board, move
            ep_square = passed
        else:
            ep_square = None
        self.saved.append((dict(self.board), self.ep_square))
        del self.board[src]
        self.board[dst] = piece
        self.white_to_move = not self.white_to_move
        self.ep_square = ep_square
        self.moves.append(move)
        self.keys.append(self.key())
        self.pawn_move.append(is_pawn)

    def undo(self):
        self.board, self.ep_square = self.saved.pop()
        self.white_to_move = not self.white_to_move
        for record in (self.moves, self.keys, self.pawn_move):
            record.pop()

    def repetitions(self):
        """Positions since the last pawn move (it included) equal to the current one."""
        count = 0
        for i in range(len(self.keys) - 1, -1, -1):
            count += self.keys[i] == self.keys[-1]
            if self.pawn_move[i]:
                break
        return count

    def diagram(self):
        rows = []
        for rank in range(8, 0, -1):
            cells = [self.board.get(f + str(rank), ".") for f in "abcdefgh"]
            rows.append("%d  %s\n" % (rank, " ".join(cells)))
        return "\n" + "".join(rows) + "\n   a b c d e f g h\n\n"


def main():
    game = Game()
    lines = ["force"]
    expected = BANNER + TABLE
    knights = {True: iter(WHITE_CYCLE * 100), False: iter(BLACK_CYCLE * 100)}
    pawns = {True: list(WHITE_PAWNS), False: list(BLACK_PAWNS)}

    def next_pawn_move():
        """The first pawn move of the side to move whose squares are free."""
        waiting = pawns[game.white_to_move]
        move = next(m for m in waiting if game.can_push(m))
        waiting.remove(move)
        return move

    def type_move(move):
        nonlocal expected
        game.play(move)
        lines.append(move)
        if game.repetitions() >= 3:
            expected += REPETITION

    pawn_moves_left = len(WHITE_PAWNS) + len(BLACK_PAWNS)
    while pawn_moves_left:
        type_move(next_pawn_move())
        pawn_moves_left -= 1
        count = KNIGHT_MOVES if pawn_moves_left else FINAL_KNIGHT_MOVES
        for _ in range(count):
            type_move(next(knights[game.white_to_move]))
    assert len(game.moves) > 300
    assert expected.count(REPETITION) == 1, "only the last knight move repeats three times"

    lines.append("ml")
    expected += "".join("%d.%s\n" % (i, move) for i, move in enumerate(game.moves))

    retyped = game.moves[-UNDONE:]
    for _ in range(UNDONE):
        lines.append("undo")
        game.undo()
    lines.append("board")
    expected += game.diagram()
    for move in retyped:
        type_move(move)
    lines.append("quit")

    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "long_game.in"), "w") as f:
        f.write("\n".join(lines) + "\n")
    with open(os.path.join(here, "long_game.out"), "w") as f:
        f.write(expected)


if __name__ == "__main__":
    main()
