#include "route/heuristic.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

constexpr const char* kKeys[kHeuristicCount] = {"euclidean", "octile", "manhattan", "chebyshev", "zero"};
constexpr const char* kNames[kHeuristicCount] = {"Euclidean", "octile", "Manhattan", "Chebyshev", "zero"};

// Differences in double are exact for float coordinates, and a sum of three
// of them never leaves double's range; only the final rounding can pass FLT_MAX.
static float toFloat(double estimate)
{
    return estimate >= static_cast<double>(FLT_MAX) ? FLT_MAX : static_cast<float>(estimate);
}

float heuristicEstimate(Heuristic heuristic, const Vertex& a, const Vertex& b)
{
    if (heuristic == Heuristic::Euclidean)
        return distanceEstimate(a, b);
    double d[3] = {std::fabs(static_cast<double>(a.x) - b.x), std::fabs(static_cast<double>(a.y) - b.y),
                   std::fabs(static_cast<double>(a.z) - b.z)};
    std::sort(d, d + 3, [](double p, double q) { return p > q; });
    switch (heuristic) {
    case Heuristic::Octile:
        // Three-dimensional grids move diagonally across a cube too: sqrt 3 - sqrt 2 more.
        return toFloat(d[0] + (std::sqrt(2.0) - 1.0) * d[1] + (std::sqrt(3.0) - std::sqrt(2.0)) * d[2]);
    case Heuristic::Manhattan:
        return toFloat(d[0] + d[1] + d[2]);
    case Heuristic::Chebyshev:
        return toFloat(d[0]);
    case Heuristic::Euclidean:
    case Heuristic::Zero:
        break;
    }
    return 0.0f;
}

const char* heuristicKey(Heuristic heuristic)
{
    return kKeys[static_cast<int>(heuristic)];
}

const char* heuristicName(Heuristic heuristic)
{
    return kNames[static_cast<int>(heuristic)];
}

bool heuristicFromKey(const char* key, Heuristic& heuristic)
{
    for (int i = 0; i < kHeuristicCount; ++i)
        if (std::strcmp(key, kKeys[i]) == 0) {
            heuristic = static_cast<Heuristic>(i);
            return true;
        }
    return false;
}

Heuristic nextHeuristic(Heuristic heuristic)
{
    return static_cast<Heuristic>((static_cast<int>(heuristic) + 1) % kHeuristicCount);
}
