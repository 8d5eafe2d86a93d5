// Reading a command's arguments from its whole line, the way a formatted-input
// pattern such as "level %d %d %d" or "name %s" reads them: the command word
// must open the line; each number or word skips white space first; the first
// conversion that fails ends the reading, leaving it and every later target
// unchanged.
#pragma once

// Reads up to `count` integers after `word` into `targets`; numbers beyond
// the int range are clamped. Returns how many were read.
int scan_numbers(const char* line, const char* word, int* const targets[], int count);
// Reads one word after `word` into `target`, cut to capacity - 1 characters.
// Returns whether a word was read.
bool scan_word(const char* line, const char* word, char* target, int capacity);
