// ALT search: A* over a graph's flat arcs with costs summed in double, steered
// by the landmarks' bounds (route/landmarks.h). Exact: the bound never
// exceeds a route's cost, and a vertex found cheaper after its expansion (only
// rounding could do that) is taken again, so the goal is taken at the same
// cost as a Dijkstra in double gives it.
#pragma once

#include <vector>

#include "graph/scene.h"
#include "route/cost_graph.h"
#include "route/landmarks.h"

// What one search did, for the trace and the predecessor table: every vertex
// it reached, in the order first reached, with the expansion count then (the
// start 0), its final predecessor (-1 for the start), its cost and estimate.
struct AltSearch {
    bool found = false;
    double cost = 0.0;         // the goal's, when found
    std::vector<int> route;    // goal first, start last; empty when none
    std::vector<int> expanded; // in order; a vertex taken again is listed again
    std::vector<int> reached, reachedAt, parent;
    std::vector<double> g, h;
};

// Searches graph (the arcs of vertices) from start to goal, valid indices,
// possibly equal, into result (its old contents replaced). Costs what it
// touches, not the graph's size: its tables are kept between searches.
void altSearch(const CostGraph& graph, const std::vector<Vertex>& vertices, const Landmarks& landmarks, int start,
               int goal, AltSearch& result);
