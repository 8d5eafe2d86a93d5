// Sets of squares as 64-bit words, bit s for square s (a8 is bit 0), and the
// constant line and step tables that generation and attack tests read.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "board/types.h"

using Bitboard = std::uint64_t;

constexpr Bitboard square_bit(Square s) { return Bitboard{1} << s; }
// The squares of the a-file; shifted by f, those of file f.
constexpr Bitboard FILE_A_SQUARES = 0x0101010101010101ull;
constexpr Square lowest_square(Bitboard b) { return std::countr_zero(b); }
constexpr Square highest_square(Bitboard b) { return 63 - std::countl_zero(b); }

// The eight line directions in the order of the queen's steps: the first four
// lead toward a8 (lower squares), the last four toward h1.
constexpr int LINE_DIRECTIONS = 8;
constexpr int LINE_ROW_STEP[LINE_DIRECTIONS] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int LINE_FILE_STEP[LINE_DIRECTIONS] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr bool line_leads_down(int direction) { return direction < 4; }
constexpr bool line_is_diagonal(int direction) {
    return LINE_ROW_STEP[direction] != 0 && LINE_FILE_STEP[direction] != 0;
}

// The directions of a bishop and of a rook, as indices into the line tables,
// in the order their steps are tried.
constexpr int BISHOP_LINES[4] = {0, 2, 5, 7};
constexpr int ROOK_LINES[4] = {1, 3, 4, 6};

namespace bitboard_detail {

constexpr bool on_board(int row, int file) { return row >= 0 && row < 8 && file >= 0 && file < 8; }

constexpr std::array<std::array<Bitboard, 64>, LINE_DIRECTIONS> make_lines() {
    std::array<std::array<Bitboard, 64>, LINE_DIRECTIONS> lines{};
    for (int d = 0; d < LINE_DIRECTIONS; ++d)
        for (Square s = 0; s < 64; ++s)
            for (int r = row_of(s) + LINE_ROW_STEP[d], f = file_of(s) + LINE_FILE_STEP[d];
                 on_board(r, f); r += LINE_ROW_STEP[d], f += LINE_FILE_STEP[d])
                lines[d][s] |= square_bit(8 * r + f);
    return lines;
}

template <int N>
constexpr std::array<Bitboard, 64> make_steps(const int (&rows)[N], const int (&files)[N]) {
    std::array<Bitboard, 64> steps{};
    for (Square s = 0; s < 64; ++s)
        for (int i = 0; i < N; ++i)
            if (on_board(row_of(s) + rows[i], file_of(s) + files[i]))
                steps[s] |= square_bit(8 * (row_of(s) + rows[i]) + file_of(s) + files[i]);
    return steps;
}

constexpr std::array<std::array<std::int8_t, 64>, 64> make_line_directions() {
    std::array<std::array<std::int8_t, 64>, 64> directions{};
    for (auto& row : directions) row.fill(-1);
    const auto lines = make_lines();
    for (int d = 0; d < LINE_DIRECTIONS; ++d)
        for (Square a = 0; a < 64; ++a)
            for (Bitboard b = lines[d][a]; b; b &= b - 1)
                directions[a][std::countr_zero(b)] = static_cast<std::int8_t>(d);
    return directions;
}

constexpr int KNIGHT_ROWS[8] = {-2, -2, -1, -1, 1, 1, 2, 2};
constexpr int KNIGHT_FILES[8] = {-1, 1, -2, 2, -2, 2, -1, 1};

}  // namespace bitboard_detail

// The squares from s outward along a direction, s itself excluded.
inline constexpr auto line_squares = bitboard_detail::make_lines();
// The squares a knight or a king on s steps to. Their steps in the order the
// generator tries them land on ascending squares, so visiting a set from its
// lowest square keeps that order.
inline constexpr auto knight_steps =
    bitboard_detail::make_steps(bitboard_detail::KNIGHT_ROWS, bitboard_detail::KNIGHT_FILES);
inline constexpr auto king_steps = bitboard_detail::make_steps(LINE_ROW_STEP, LINE_FILE_STEP);
// The squares from which a pawn of each side attacks s: a white pawn stands a
// row nearer rank 1 than what it attacks, a black pawn a row nearer rank 8.
inline constexpr std::array<std::array<Bitboard, 64>, 2> pawn_attackers = {
    bitboard_detail::make_steps({1, 1}, {-1, 1}), bitboard_detail::make_steps({-1, -1}, {-1, 1})};
// The squares a bishop and a rook on s could reach on an empty board.
inline constexpr auto diagonal_reach = [] {
    std::array<Bitboard, 64> reach{};
    for (Square s = 0; s < 64; ++s)
        for (int d : BISHOP_LINES) reach[s] |= line_squares[d][s];
    return reach;
}();
inline constexpr auto straight_reach = [] {
    std::array<Bitboard, 64> reach{};
    for (Square s = 0; s < 64; ++s)
        for (int d : ROOK_LINES) reach[s] |= line_squares[d][s];
    return reach;
}();
// The direction that leads from a to b, -1 when no line joins them.
inline constexpr auto line_direction = bitboard_detail::make_line_directions();

// The first square of `occupied` from s along the direction, NO_SQUARE when the line is clear.
constexpr Square first_on_line(int direction, Square s, Bitboard occupied) {
    const Bitboard met = line_squares[direction][s] & occupied;
    if (met == 0) return NO_SQUARE;
    return line_leads_down(direction) ? highest_square(met) : lowest_square(met);
}
