// The draw by lack of mating material.
#pragma once

// True when no pawns are left and neither side has the pieces to force mate:
// a bare king, a single minor piece, or two knights.
bool no_mating_material();
