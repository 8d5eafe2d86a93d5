#pragma once
constexpr int TT_DEFAULT_EXPONENT = 20;
void tt_set_size(int n);
