// Weighted A*: cost so far plus w times the estimate. With an estimate that
// never overestimates and never drops by more than a link's cost (Euclidean,
// Chebyshev, zero) the route costs at most w times the cheapest, even though
// no vertex is expanded twice.
#pragma once

constexpr int kWeightCount = 4;
constexpr float kWeights[kWeightCount] = {1.5f, 2.0f, 3.0f, 5.0f};

// g + weight * h, rounded as written.
float weightedScore(float g, float h, float weight);

// The weight after weight in kWeights, the last wrapping to the first; a
// weight not in the list goes to the first.
float nextWeight(float weight);

// True when cost is at most weight times cheapest, allowing the rounding a
// float sum of hops links can pick up; no route is within no bound unless
// neither found one.
bool withinBound(double cost, double cheapest, float weight, int hops);
