// The estimates of the distance left to the goal that A*, weighted A*,
// greedy best-first and bidirectional A* can be given, and their names.
#pragma once

#include "graph/scene.h"

enum class Heuristic {
    Euclidean, // straight line: distanceEstimate, the default, never above the distance along links
    Octile,    // eight-way grid moves: largest difference plus (sqrt 2 - 1) times the next
    Manhattan, // sum of the differences: too high wherever a link runs diagonally
    Chebyshev, // largest difference: never above the straight line
    Zero,      // nothing: A* becomes Dijkstra
};

constexpr int kHeuristicCount = 5;

// The estimate from a to b. Euclidean is distanceEstimate bit for bit; the
// others are worked in double from the float coordinates (x, y and z) and
// rounded once to float, FLT_MAX at most, so never +infinity.
float heuristicEstimate(Heuristic heuristic, const Vertex& a, const Vertex& b);

// "euclidean", "octile", "manhattan", "chebyshev", "zero": the command line's
// and the CSV's names.
const char* heuristicKey(Heuristic heuristic);

// "Euclidean", "octile", "Manhattan", "Chebyshev", "zero": as the view says it.
const char* heuristicName(Heuristic heuristic);

// The heuristic named key (heuristicKey's spelling); false when none is.
bool heuristicFromKey(const char* key, Heuristic& heuristic);

// The next one in the order above, Zero wrapping round to Euclidean.
Heuristic nextHeuristic(Heuristic heuristic);
