// Textbook A* with a binary heap, kept here only as a yardstick for the
// program's own search: same costs, same heuristic, and the same ordered-map
// predecessor table, written at every improvement as the textbook does.
#pragma once

#include <map>
#include <vector>

#include "graph/scene.h"

struct HeapResult {
    bool found = false;
    float cost = 0.0f; // route cost to the goal when found
};

HeapResult heapAStar(std::map<int, int>& cameFrom, const std::vector<Vertex>& graph, int start, int goal);

// The same A* as a game engine writes it: g, parent and the closed mark in
// flat vectors, no ordered map; parent receives the predecessor of every
// vertex reached (-1 elsewhere). The yardstick the program's search is held
// to at its practical limit.
HeapResult flatAStar(std::vector<int>& parent, const std::vector<Vertex>& graph, int start, int goal);
