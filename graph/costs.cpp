#include "graph/costs.h"

#include <cmath>
#include <cstdint>
#include <limits>

// Room for the estimate's and the lengths' float rounding (2^-24 each, a few
// times over) below the smallest cost per unit of length.
constexpr double kScaleMargin = 1.0 - 0x1p-20;

static CostModel kept;
static std::uint64_t keptRevision = 0;
static bool keptValid = false;

float linkCost(const Vertex& from, const Vertex& to, const Link& link)
{
    if (from.factor == 1.0f && to.factor == 1.0f)
        return link.cost;
    const float mean = (from.factor + to.factor) * 0.5f;
    return link.cost * mean;
}

CostModel costModelOf(const std::vector<Vertex>& vertices)
{
    CostModel model;
    double lowest = std::numeric_limits<double>::infinity();
    for (const Vertex& vertex : vertices) {
        if (vertex.factor != 1.0f)
            model.given = true;
        for (int i = 0; i < vertex.linkCount; ++i) {
            const Vertex& other = vertices[static_cast<std::size_t>(vertex.links[i].to)];
            if (vertex.links[i].cost != vertexDistance(vertex, other))
                model.given = true;
            // The estimate's own length: capped at FLT_MAX as the estimate
            // is, so a link longer than float holds still bounds the scale.
            const float length = distanceEstimate(vertex, other);
            if (length > 0.0f)
                lowest = std::fmin(lowest, static_cast<double>(linkCost(vertex, other, vertex.links[i])) / length);
        }
    }
    if (model.given)
        model.scale = std::isfinite(lowest) ? lowest * kScaleMargin : 0.0;
    return model;
}

const CostModel& sceneCostModel()
{
    if (!keptValid || keptRevision != graphRevision()) {
        kept = costModelOf(scene.vertices);
        keptRevision = graphRevision();
        keptValid = true;
    }
    return kept;
}

bool isSoundCost(double value)
{
    return std::isfinite(value) && value > 0.0;
}
