// The program's arguments: karvosel [ARG [TABLE_EXPONENT]].
#pragma once

// The table exponent argument as a decimal number (leading blanks and a sign
// allowed, no digits reading as 0); values beyond int are clamped, and are
// refused as table sizes all the same.
int table_exponent_argument(const char* text);
