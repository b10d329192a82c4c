// Landmarks for ALT search: a few vertices far apart, and the cost from each
// to every vertex. By the triangle inequality |d(L, t) - d(L, v)| is at most
// the cost from v to t, a bound far tighter on road maps than a straight line.
#pragma once

#include <vector>

#include "graph/scene.h"
#include "route/cost_graph.h"

constexpr int kLandmarkCount = 16;

struct Landmarks {
    int count = 0;                 // landmarks chosen: kLandmarkCount, fewer on a small graph
    std::vector<int> vertices;     // the landmarks, in the order chosen
    // away[v * count + k]: cost from landmark k to v, summed in double and
    // rounded down to float; +infinity where k does not reach v.
    std::vector<float> away;
    // The same towards each landmark, only when some link costs differently
    // one way than the other (empty otherwise: then it equals away).
    std::vector<float> toward;
    // The straight-line estimate (distanceEstimate) times this never exceeds
    // a route's cost: 1 minus a margin for rounding when every link costs at
    // least its length, less where one is cheaper, 0 where one is free.
    double straightFactor = 0.0;
};

// Chooses count landmarks by farthest-point selection over graph (the arcs
// of vertices), each the vertex farthest from those chosen, the first
// farthest from a vertex of the largest part, and runs a Dijkstra in double
// from each (and to each, for one-way costs). progress, when given, hears
// done of total after each Dijkstra.
Landmarks chooseLandmarks(const std::vector<Vertex>& vertices, const CostGraph& graph, int count,
                          void (*progress)(int done, int total));

// A lower bound on the double cost of the cheapest route from v to goal: the
// largest landmark triangle bound and the scaled straight line, each rounded
// down, at least 0; +infinity when a landmark proves there is no route.
double altEstimate(const Landmarks& landmarks, const std::vector<Vertex>& vertices, int v, int goal);

// The landmark triangle bounds alone (no straight line), same guarantees.
double landmarkBound(const Landmarks& landmarks, int v, int goal);
