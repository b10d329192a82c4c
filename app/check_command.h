// vialoom check: runs a Moving AI scenario with the program's own search.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// words: SCENFILE [MAPFILE]. Returns the exit status: 0 all passed, 1 some
// failed, 2 bad usage or an unreadable file.
int runCheckCommand(const std::vector<std::string>& words, std::FILE* out, std::FILE* err);
