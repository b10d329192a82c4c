// Textbook A* with a binary heap, kept here only as a yardstick for the
// program's own search: same costs, same heuristic, flat tables.
#pragma once

#include <vector>

#include "graph/scene.h"

struct HeapResult {
    bool found = false;
    float cost = 0.0f;  // route cost to the goal when found
    int reached = 0;    // vertices given a predecessor
};

HeapResult heapAStar(const std::vector<Vertex>& graph, int start, int goal);
