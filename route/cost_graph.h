// A graph's links as flat arrays, for the searches that preprocess a graph
// (landmarks, contraction hierarchies): each link once per direction, with
// the cost the searches give it. Costs are summed in double by these
// searches, so a route's cost is the same whatever order its links are
// added in, as far as double holds it (every sum of integer costs below
// 2^53, and any route over links below 2^64 to within double's rounding).
#pragma once

#include <vector>

#include "graph/scene.h"

struct CostGraph {
    std::vector<int> first;  // vertex v's arcs are first[v] .. first[v + 1] - 1; size vertices + 1
    std::vector<int> head;   // the vertex each arc leads to, in the vertex's link order
    std::vector<float> cost; // each arc's cost: at least 0, +infinity for a link too long for float
};

// The arcs of vertices, in their link order, each costing linkCost (its
// length times its ends' mean factor, or the map's given cost).
CostGraph costGraphOf(const std::vector<Vertex>& vertices);

// Vertex count of graph.
int costGraphSize(const CostGraph& graph);

// Cost of route (vertices in order, from its start), its arcs' costs summed
// in double from the start forwards, choosing the cheapest arc where two
// vertices are joined twice; 0 for one vertex, +infinity when empty or two
// consecutive vertices are not joined.
double costGraphRouteCost(const CostGraph& graph, const std::vector<int>& route);
