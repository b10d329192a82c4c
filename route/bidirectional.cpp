#include "route/bidirectional.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <queue>
#include <tuple>

namespace {
using Pending = std::tuple<double, std::uint64_t, int>; // key, arrival (ties: first come), vertex
using Heap = std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>>;

// One direction: its costs, predecessors, taken vertices and waiting heap.
struct Half {
    std::vector<double> g;
    std::vector<int> parent;
    std::vector<char> taken;
    Heap heap;
    double sign = 1.0; // +1 forwards (key g + p), -1 backwards (key g - p)
};
} // namespace

constexpr double kUnreached = std::numeric_limits<double>::infinity();

static std::uint64_t arrivals = 0;

static double potential(const SearchTrace& t, const std::vector<Vertex>& vertices, int v)
{
    if (t.mode != SearchMode::BiAStar)
        return 0.0;
    const Vertex& at = vertices[static_cast<std::size_t>(v)];
    const double toGoal = traceEstimate(t, at, vertices[static_cast<std::size_t>(t.goal)]);
    const double toStart = traceEstimate(t, at, vertices[static_cast<std::size_t>(t.start)]);
    return (toGoal - toStart) / 2.0;
}

static void prepare(Half& half, std::size_t count, double sign)
{
    half.g.assign(count, kUnreached);
    half.parent.assign(count, -1);
    half.taken.assign(count, 0);
    half.sign = sign;
}

// Drops outdated entries; the lowest key left, +infinity when none waits.
static double lowestKey(Half& half)
{
    while (!half.heap.empty() && half.taken[static_cast<std::size_t>(std::get<2>(half.heap.top()))])
        half.heap.pop();
    return half.heap.empty() ? kUnreached : std::get<0>(half.heap.top());
}

static void firstReached(SearchTrace& t, const std::vector<Vertex>& vertices, int v, bool backward)
{
    if (t.reachedAt[v] >= 0)
        return;
    // Called after the expansion is listed: the step after it, as the other searches count.
    t.reachedAt[v] = static_cast<int>(t.expanded.size());
    t.side[v] = backward ? 1 : 0;
    t.h[v] = traceEstimate(t, vertices[v], vertices[static_cast<std::size_t>(t.goal)]);
}

// Writes the route through meeting into g and parent, summed from the start
// forwards as the other searches sum: in float, or in double where costs are given.
static void writeRoute(SearchTrace& t, const std::vector<Vertex>& vertices, const Half& forward, const Half& backward)
{
    std::vector<int> route;
    for (int v = t.meeting; v >= 0; v = forward.parent[static_cast<std::size_t>(v)])
        route.push_back(v);
    std::reverse(route.begin(), route.end());
    for (int v = backward.parent[static_cast<std::size_t>(t.meeting)]; v >= 0;
         v = backward.parent[static_cast<std::size_t>(v)])
        route.push_back(v);
    t.g[t.start] = 0.0;
    t.parent[t.start] = -1;
    for (std::size_t i = 1; i < route.size(); ++i) {
        const Vertex& from = vertices[static_cast<std::size_t>(route[i - 1])];
        const Link* link = findLink(from, route[i]);
        t.parent[route[i]] = route[i - 1];
        if (t.givenCosts)
            t.g[route[i]] = t.g[route[i - 1]] + linkCost(from, vertices[static_cast<std::size_t>(route[i])], *link);
        else
            t.g[route[i]] = link->cost + static_cast<float>(t.g[route[i - 1]]);
    }
}

void bidirectionalSearch(SearchTrace& t, const std::vector<Vertex>& vertices)
{
    const std::size_t count = vertices.size();
    t.gBack.assign(count, kUnreached);
    t.side.assign(count, 0);
    Half halves[2];
    prepare(halves[0], count, 1.0);
    prepare(halves[1], count, -1.0);
    const int ends[2] = {t.start, t.goal};
    for (int s = 0; s < 2; ++s) {
        halves[s].g[ends[s]] = 0.0;
        halves[s].heap.emplace(halves[s].sign * potential(t, vertices, ends[s]), arrivals++, ends[s]);
        firstReached(t, vertices, ends[s], s == 1);
    }
    double best = t.start == t.goal ? 0.0 : kUnreached; // mu
    t.meeting = t.start == t.goal ? t.start : -1;
    for (;;) {
        const double lowest[2] = {lowestKey(halves[0]), lowestKey(halves[1])};
        if (lowest[0] == kUnreached || lowest[1] == kUnreached || lowest[0] + lowest[1] >= best)
            break;
        const int s = lowest[0] <= lowest[1] ? 0 : 1;
        Half& half = halves[s];
        const Half& other = halves[1 - s];
        const int current = std::get<2>(half.heap.top());
        half.heap.pop();
        half.taken[current] = 1;
        if (t.expandedAt[current] < 0)
            t.expandedAt[current] = static_cast<int>(t.expanded.size());
        t.expanded.push_back(current);
        t.expandedSide.push_back(static_cast<signed char>(s));
        const Vertex& vertex = vertices[static_cast<std::size_t>(current)];
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int next = vertex.links[i].to;
            if (half.taken[next])
                continue;
            const double through =
                half.g[current] + traceLinkCost(t, vertex, vertices[static_cast<std::size_t>(next)], vertex.links[i]);
            if (through < half.g[next]) {
                half.g[next] = through;
                half.parent[next] = current;
                half.heap.emplace(through + half.sign * potential(t, vertices, next), arrivals++, next);
                firstReached(t, vertices, next, s == 1);
            }
            if (half.g[next] + other.g[next] < best) {
                best = half.g[next] + other.g[next];
                t.meeting = next;
            }
        }
    }
    for (std::size_t v = 0; v < count; ++v) {
        t.g[v] = t.givenCosts ? halves[0].g[v] : static_cast<float>(halves[0].g[v]);
        t.parent[v] = halves[0].parent[v];
        t.gBack[v] = t.givenCosts ? halves[1].g[v] : static_cast<float>(halves[1].g[v]);
    }
    t.found = t.meeting >= 0;
    if (t.found)
        writeRoute(t, vertices, halves[0], halves[1]);
}
