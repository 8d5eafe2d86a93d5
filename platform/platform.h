// What differs between the systems the programs are built for (POSIX and
// Windows), in one place, so that the engine itself has no system conditionals.
#pragma once

#include <cstddef>

// A steady reading in milliseconds, 64 bits wide, so it does not wrap during
// a game; only differences are meaningful.
long long platform_clock_ms();

// Interfaces interrupt a thinking engine with SIGINT (Ctrl-C on a Windows
// console); the engine never polls input while it searches, so it ignores it.
void platform_ignore_interrupt();

// Standard output unbuffered, so that every reply reaches the interface the
// moment it is written, and in the system's text form (lines end in CR LF on
// Windows). Standard input is read byte for byte by platform_read_line.
void platform_prepare_console();

// Reads one line from standard input into `buffer` as fgets does: at most
// size - 1 characters, up to and including the line break; false at the end
// of input. On Windows a CR LF pair reads as the single line break LF, so
// lines from either kind of peer read alike; a lone CR stays an ordinary
// character everywhere.
bool platform_read_line(char* buffer, int size);

// Asks the system to back `bytes` bytes from `memory` with large pages where
// it offers them (transparent huge pages on Linux); a hint only, which changes
// nothing where there are none.
void platform_advise_large_pages(void* memory, std::size_t bytes);
