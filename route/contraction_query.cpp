#include <algorithm>
#include <functional>
#include <limits>
#include <unordered_map>

#include "route/contraction.h"

constexpr double kUnreached = std::numeric_limits<double>::infinity();

using Entry = std::pair<double, int>;
static const auto kLater = std::greater<Entry>();

static void prepare(HierarchyWork& work, int count)
{
    if (static_cast<int>(work.cost[0].size()) != count) {
        for (int s = 0; s < 2; ++s) {
            work.cost[s].assign(count, kUnreached);
            work.parent[s].assign(count, -1);
            work.parentArc[s].assign(count, -1);
        }
        work.touched.clear();
    }
    for (int v : work.touched)
        for (int s = 0; s < 2; ++s) {
            work.cost[s][v] = kUnreached;
            work.parent[s][v] = -1;
            work.parentArc[s][v] = -1;
        }
    work.touched.clear();
    for (int s = 0; s < 2; ++s)
        work.heap[s].clear();
    work.takenVertex.clear();
    work.takenSide.clear();
    work.reachedVertex.clear();
    work.reachedSide.clear();
    work.reachedStep.clear();
}

static void reach(HierarchyWork& work, int side, int v, double cost, int from, int arc)
{
    const double other = work.cost[1 - side][v];
    if (work.cost[side][v] == kUnreached) {
        if (other == kUnreached && work.parent[1 - side][v] < 0)
            work.touched.push_back(v);
        if (work.record) {
            work.reachedVertex.push_back(v);
            work.reachedSide.push_back(static_cast<signed char>(side));
            work.reachedStep.push_back(static_cast<int>(work.takenVertex.size()));
        }
    }
    work.cost[side][v] = cost;
    work.parent[side][v] = from;
    work.parentArc[side][v] = arc;
    work.heap[side].push_back(Entry{cost, v});
    std::push_heap(work.heap[side].begin(), work.heap[side].end(), kLater);
}

// The lowest key still waiting on side, dropping entries already bettered.
static double lowestKey(HierarchyWork& work, int side)
{
    std::vector<Entry>& heap = work.heap[side];
    while (!heap.empty() && heap.front().first > work.cost[side][heap.front().second]) {
        std::pop_heap(heap.begin(), heap.end(), kLater);
        heap.pop_back();
    }
    return heap.empty() ? kUnreached : heap.front().first;
}

// True when a higher vertex reached on side reaches v more cheaply over an
// arc into v (forwards: a down arc w -> v; backwards: an up arc v -> w).
static bool stalled(const Hierarchy& h, const HierarchyWork& work, int side, int v)
{
    const HierarchyArcs& into = side == 0 ? h.down : h.up;
    const double at = work.cost[side][v];
    for (int arc = into.first[v]; arc < into.first[v + 1]; ++arc)
        if (work.cost[side][into.head[arc]] + into.cost[arc] < at)
            return true;
    return false;
}

static int arcBetween(const HierarchyArcs& arcs, int at, int head)
{
    for (int arc = arcs.first[at]; arc < arcs.first[at + 1]; ++arc)
        if (arcs.head[arc] == head)
            return arc;
    return -1;
}

// Appends the graph's vertices after from along the arc from -> to that
// passes middle (-1: a graph arc of cost), adding each graph arc's cost to
// total in order.
static void unpack(const Hierarchy& h, int from, int to, int middle, double cost, std::vector<int>& route,
                   std::vector<double>& steps)
{
    struct Piece {
        int from, to, middle;
        double cost;
    };
    std::vector<Piece> pending{{from, to, middle, cost}};
    while (!pending.empty()) {
        const Piece piece = pending.back();
        pending.pop_back();
        if (piece.middle < 0) {
            route.push_back(piece.to);
            steps.push_back(piece.cost);
            continue;
        }
        // Both halves are kept at the middle, which lies below both ends.
        const int second = arcBetween(h.up, piece.middle, piece.to);
        const int first = arcBetween(h.down, piece.middle, piece.from);
        pending.push_back({piece.middle, piece.to, h.up.middle[second], h.up.cost[second]});
        pending.push_back({piece.from, piece.middle, h.down.middle[first], h.down.cost[first]});
    }
}

static void walkRoute(const Hierarchy& h, const HierarchyWork& work, HierarchyRoute& result)
{
    std::vector<int> climb; // arcs of the forward half, from the meeting vertex back
    for (int v = result.meeting; work.parent[0][v] >= 0; v = work.parent[0][v])
        climb.push_back(work.parentArc[0][v]);
    int at = result.meeting;
    for (int v = at; work.parent[0][v] >= 0; v = work.parent[0][v])
        at = work.parent[0][v];
    std::vector<int> route(1, at);
    std::vector<double> steps;
    for (auto arc = climb.rbegin(); arc != climb.rend(); ++arc) {
        const int to = h.up.head[*arc];
        unpack(h, at, to, h.up.middle[*arc], h.up.cost[*arc], route, steps);
        at = to;
    }
    for (int v = result.meeting; work.parent[1][v] >= 0; v = work.parent[1][v]) {
        const int arc = work.parentArc[1][v];
        const int to = work.parent[1][v];
        unpack(h, v, to, h.down.middle[arc], h.down.cost[arc], route, steps);
    }
    // A loop in a cheapest route costs nothing (its arcs cost 0): cutting it
    // changes no sum, and leaves a route that reads back from predecessors.
    std::unordered_map<int, std::size_t> position;
    result.route.clear();
    result.steps.clear();
    result.cost = 0.0;
    for (std::size_t i = 0; i < route.size(); ++i) {
        const auto seen = position.find(route[i]);
        if (seen != position.end()) {
            for (std::size_t j = seen->second + 1; j < result.route.size(); ++j)
                position.erase(result.route[j]);
            result.route.resize(seen->second + 1);
            result.steps.resize(seen->second);
            continue;
        }
        position[route[i]] = result.route.size();
        result.route.push_back(route[i]);
        if (i > 0)
            result.steps.push_back(steps[i - 1]);
    }
    for (double step : result.steps)
        result.cost += step;
}

HierarchyRoute hierarchyQuery(const Hierarchy& h, HierarchyWork& work, int start, int goal)
{
    HierarchyRoute result;
    result.cost = kUnreached;
    result.searchCost = kUnreached;
    prepare(work, h.vertexCount);
    reach(work, 0, start, 0.0, -1, -1);
    reach(work, 1, goal, 0.0, -1, -1);
    double mu = kUnreached;
    if (start == goal)
        mu = 0.0, result.meeting = start;
    for (;;) {
        const double keys[2] = {lowestKey(work, 0), lowestKey(work, 1)};
        const int side = keys[1] < keys[0] ? 1 : 0;
        if (!(keys[side] < mu))
            break; // both halves' lowest keys reach mu: nothing cheaper is left
        std::vector<Entry>& heap = work.heap[side];
        std::pop_heap(heap.begin(), heap.end(), kLater);
        const int v = heap.back().second;
        heap.pop_back();
        if (work.record) {
            work.takenVertex.push_back(v);
            work.takenSide.push_back(static_cast<signed char>(side));
        }
        const double at = work.cost[side][v];
        const double through = at + work.cost[1 - side][v];
        if (through < mu)
            mu = through, result.meeting = v;
        if (stalled(h, work, side, v))
            continue;
        const HierarchyArcs& arcs = side == 0 ? h.up : h.down;
        for (int arc = arcs.first[v]; arc < arcs.first[v + 1]; ++arc) {
            const int w = arcs.head[arc];
            const double cost = at + arcs.cost[arc];
            if (cost < work.cost[side][w]) {
                reach(work, side, w, cost, v, arc);
                const double meet = cost + work.cost[1 - side][w];
                if (meet < mu)
                    mu = meet, result.meeting = w;
            }
        }
    }
    if (result.meeting < 0)
        return result;
    result.found = true;
    result.searchCost = mu;
    walkRoute(h, work, result);
    return result;
}
