// The program's name and version, as every front end and the manual page give them.
#pragma once

constexpr const char* ENGINE_NAME = "Karvosel";
constexpr const char* ENGINE_VERSION = "1.12";
