// Searches that need the graph preprocessed first (contraction
// hierarchies), prepared in the foreground for the command line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "graph/scene.h"
#include "route/search.h"

// For mode Ch: builds the hierarchy of vertices (the map read from name),
// with a progress line on a terminal's stderr for large maps. False, after
// "vialoom: NAME: why" on err, when it cannot be built; true for every
// other mode, which needs nothing.
bool preprocessFor(SearchMode mode, const std::vector<Vertex>& vertices, const std::string& name, std::FILE* err);

// Drops what preprocessFor kept, once the map is done with.
void forgetPreprocessing();
