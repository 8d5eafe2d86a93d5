// The engine's thinking output: the lines the search's events print in this
// front end.
#pragma once

// Makes the search report through this front end's lines.
void install_thinking_output();
