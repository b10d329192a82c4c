#include "route/cost_graph.h"

#include <limits>

#include "graph/costs.h"

CostGraph costGraphOf(const std::vector<Vertex>& vertices)
{
    CostGraph graph;
    graph.first.reserve(vertices.size() + 1);
    std::size_t arcs = 0;
    for (const Vertex& v : vertices)
        arcs += static_cast<std::size_t>(v.linkCount);
    graph.head.reserve(arcs);
    graph.cost.reserve(arcs);
    for (const Vertex& v : vertices) {
        graph.first.push_back(static_cast<int>(graph.head.size()));
        for (int i = 0; i < v.linkCount; ++i) {
            graph.head.push_back(v.links[i].to);
            graph.cost.push_back(linkCost(v, vertices[static_cast<std::size_t>(v.links[i].to)], v.links[i]));
        }
    }
    graph.first.push_back(static_cast<int>(graph.head.size()));
    return graph;
}

int costGraphSize(const CostGraph& graph)
{
    return graph.first.empty() ? 0 : static_cast<int>(graph.first.size()) - 1;
}

double costGraphRouteCost(const CostGraph& graph, const std::vector<int>& route)
{
    const double none = std::numeric_limits<double>::infinity();
    if (route.empty())
        return none;
    double total = 0.0;
    for (std::size_t i = 1; i < route.size(); ++i) {
        double step = none;
        for (int arc = graph.first[route[i - 1]]; arc < graph.first[route[i - 1] + 1]; ++arc)
            if (graph.head[arc] == route[i] && graph.cost[arc] < step)
                step = graph.cost[arc];
        if (step == none)
            return none;
        total += step;
    }
    return total;
}
