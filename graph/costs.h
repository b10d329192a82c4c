// The cost model: what a link costs the searches. Derived costs (every link
// costs its length, every factor 1) are summed in float exactly as ever;
// given costs (a map's own link costs, or painted terrain factors) are summed
// in double, which holds every sum of integer costs below 2^53 exactly.
#pragma once

#include <vector>

#include "graph/scene.h"

struct CostModel {
    bool given = false; // some link costs other than its length, or some factor is not 1
    // What the searches multiply the straight-line estimate by so that it
    // never exceeds a route's cost: the smallest cost per unit of length over
    // all links (lengths as distanceEstimate gives them, capped at FLT_MAX),
    // lowered by 2^-20 to absorb the estimate's float rounding. Exactly 1
    // with derived costs; 0 when no link has a non-zero length.
    double scale = 1.0;
};

// Bounds on a terrain factor and on a given link cost, so that a cost times
// a mean of factors stays a positive, finite float.
constexpr float kMinFactor = 0x1p-20f;
constexpr float kMaxFactor = 0x1p20f;
constexpr float kMinGivenCost = 0x1p-64f;
constexpr float kMaxGivenCost = 0x1p64f;

// What link (held by from, leading to to) costs: its own cost times the mean
// of its ends' factors, (a + b) * 0.5 in float; exactly its own cost where
// both ends are plain. The same both ways.
float linkCost(const Vertex& from, const Vertex& to, const Link& link);

// The model of a graph, in one pass over its links.
CostModel costModelOf(const std::vector<Vertex>& vertices);

// costModelOf(scene.vertices), kept until graphRevision moves.
const CostModel& sceneCostModel();

// True when value is a cost or factor a map may hold: finite and above 0.
bool isSoundCost(double value);
