#include "route/alt_search.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

struct AltWaiting {
    double score; // cost so far plus the estimate
    long order;   // first pushed, first taken among equal scores
    int vertex;
    bool operator>(const AltWaiting& other) const
    {
        return score != other.score ? score > other.score : order > other.order;
    }
};

// Kept between searches; a vertex's entries count only when its stamp is
// this search's.
static std::vector<double> cost, estimate;
static std::vector<int> from, slot;
static std::vector<char> closed;
static std::vector<unsigned> stamp;
static unsigned searchStamp = 0;

void altSearch(const CostGraph& graph, const std::vector<Vertex>& vertices, const Landmarks& landmarks, int start,
               int goal, AltSearch& result)
{
    result.found = false;
    result.cost = 0.0;
    result.route.clear();
    result.expanded.clear();
    result.reached.clear();
    result.reachedAt.clear();
    result.parent.clear();
    result.g.clear();
    result.h.clear();
    const std::size_t n = static_cast<std::size_t>(costGraphSize(graph));
    if (stamp.size() != n || ++searchStamp == 0) {
        stamp.assign(n, 0);
        cost.resize(n), estimate.resize(n), from.resize(n), slot.resize(n), closed.resize(n);
        searchStamp = 1;
    }
    const auto touch = [&](int v, int step) {
        if (stamp[v] == searchStamp)
            return false;
        stamp[v] = searchStamp;
        cost[v] = std::numeric_limits<double>::infinity();
        estimate[v] = altEstimate(landmarks, vertices, v, goal);
        from[v] = -1;
        closed[v] = 0;
        slot[v] = static_cast<int>(result.reached.size());
        result.reached.push_back(v);
        result.reachedAt.push_back(step);
        return true;
    };
    std::priority_queue<AltWaiting, std::vector<AltWaiting>, std::greater<AltWaiting>> waiting;
    long order = 0;
    touch(start, 0);
    cost[start] = 0.0;
    if (!std::isinf(estimate[start]))
        waiting.push({estimate[start], order++, start});
    while (!waiting.empty()) {
        const AltWaiting top = waiting.top();
        waiting.pop();
        const int v = top.vertex;
        if (closed[v] || top.score != cost[v] + estimate[v])
            continue; // left behind by a cheaper entry
        if (v == goal) {
            result.found = true;
            result.cost = cost[v];
            break;
        }
        closed[v] = 1;
        result.expanded.push_back(v);
        const int step = static_cast<int>(result.expanded.size());
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            const int w = graph.head[arc];
            touch(w, step);
            const double through = cost[v] + static_cast<double>(graph.cost[arc]);
            if (!(through < cost[w]) || std::isinf(estimate[w]))
                continue;
            cost[w] = through;
            from[w] = v;
            closed[w] = 0; // taken again should rounding have closed it too dear
            waiting.push({through + estimate[w], order++, w});
        }
    }
    for (int v : result.reached) {
        result.parent.push_back(from[v]);
        result.g.push_back(cost[v]);
        result.h.push_back(estimate[v]);
    }
    if (result.found)
        for (int v = goal; v >= 0; v = from[v])
            result.route.push_back(v);
}
