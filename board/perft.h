// Leaf count of the legal move tree below the current position.
#pragma once

long long perft(int depth);
