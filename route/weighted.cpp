#include "route/weighted.h"

#include <cfloat>
#include <cmath>

float weightedScore(float g, float h, float weight)
{
    const float lead = weight * h;
    return g + lead;
}

float nextWeight(float weight)
{
    for (int i = 0; i < kWeightCount; ++i)
        if (kWeights[i] == weight)
            return kWeights[(i + 1) % kWeightCount];
    return kWeights[0];
}

bool withinBound(double cost, double cheapest, float weight, int hops)
{
    if (std::isinf(cost) || std::isinf(cheapest))
        return cost == cheapest;
    const double bound = static_cast<double>(weight) * cheapest;
    return cost <= bound + static_cast<double>(hops + 1) * FLT_EPSILON * bound;
}
