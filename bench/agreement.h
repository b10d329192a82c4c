// A yardstick is only honest if it solves the same problem: both searches
// must agree on every case before either is timed.
#pragma once

#include <vector>

#include "graph/scene.h"

// Runs the program's search and the heap search from start to goal and ends
// the process with a message unless both find a route of the same cost (or
// both find none after reaching the same vertices) and found matches
// expectFound.
void requireAgreement(const std::vector<Vertex>& graph, int start, int goal, bool expectFound);
