// The search as first written: a waiting list stable-sorted by score before
// every expansion and scanned for membership. Quadratic, plain, and the
// judge of the program's heap search in the tests and the fuzzer. It scores
// as the program does (distanceEstimate, float sums; see searchScore), so the
// two stay comparable at any scale.
#pragma once

#include <map>
#include <vector>

#include "graph/scene.h"
#include "route/cost_graph.h"
#include "route/search.h"

// Same contract as searchRoute without the trace, for A*, Dijkstra, greedy
// and weighted A* (weight kDefaultWeight); when expanded is given it
// receives the vertices in the order they were expanded (the goal, which ends
// the search, is not among them).
bool referenceSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                     SearchMode mode, std::vector<int>* expanded);

// Cheapest cost from start to goal with every link summed in double, which no
// route over finite links can overflow: a judge of costs that owes nothing to
// float's rounding. +infinity when the goal cannot be reached.
double cheapestInDouble(const std::vector<Vertex>& vertices, int start, int goal);

// The judge of given costs: a textbook Dijkstra in double over each link's
// cost times its ends' mean factor ((a + b) * 0.5 in float), written out
// again here. +infinity when goal cannot be reached.
double referenceGivenCost(const std::vector<Vertex>& vertices, int start, int goal);

// Cheapest cost from start to every vertex over graph's arcs, summed in
// double from the start (the judge of the searches that preprocess a graph);
// +infinity where none leads.
std::vector<double> costGraphDistances(const CostGraph& graph, int start);
