#include "route/landmarks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

// What a bound loses to rounding: double sums drift from one another by far
// less than 2^-30 of their size on any graph that fits in memory, and float
// distances by less than 2^-20 (a few roundings of 2^-24 each).
constexpr double kSumMargin = 1.0 - 0x1p-30;
constexpr double kStraightMargin = 1.0 - 0x1p-20;

static const double kInfinity = std::numeric_limits<double>::infinity();

// A radix heap: Dijkstra takes its keys in rising order, so each waiting
// entry sits in the bucket of the highest bit where it differs from the last
// key taken. A non-negative double's bits rise with its value, so the keys
// are the costs' bits. Several times quicker than a binary heap here.
struct RadixHeap {
    std::vector<std::pair<std::uint64_t, int>> buckets[65];
    std::uint64_t last = 0;
    std::size_t size = 0;
};

static int bucketOf(std::uint64_t key, std::uint64_t last)
{
    return key == last ? 0 : 64 - __builtin_clzll(key ^ last);
}

static void heapPush(RadixHeap& heap, std::uint64_t key, int v)
{
    heap.buckets[bucketOf(key, heap.last)].push_back({key, v});
    ++heap.size;
}

// The entry with the least key; the heap must not be empty.
static std::pair<std::uint64_t, int> heapPop(RadixHeap& heap)
{
    if (heap.buckets[0].empty()) {
        int i = 1;
        while (heap.buckets[i].empty())
            ++i;
        std::uint64_t least = heap.buckets[i][0].first;
        for (const auto& entry : heap.buckets[i])
            least = std::min(least, entry.first);
        heap.last = least;
        for (const auto& entry : heap.buckets[i])
            heap.buckets[bucketOf(entry.first, least)].push_back(entry);
        heap.buckets[i].clear();
    }
    const std::pair<std::uint64_t, int> top = heap.buckets[0].back();
    heap.buckets[0].pop_back();
    --heap.size;
    return top;
}

static std::uint64_t bitsOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Dijkstra in double from source over graph; +infinity where unreached.
// A link of +infinity is never taken.
static void costsFrom(const CostGraph& graph, int source, std::vector<double>& cost)
{
    cost.assign(static_cast<std::size_t>(costGraphSize(graph)), kInfinity);
    RadixHeap waiting;
    cost[source] = 0.0;
    heapPush(waiting, bitsOf(0.0), source);
    while (waiting.size > 0) {
        const auto [key, v] = heapPop(waiting);
        const double d = cost[v];
        if (key != bitsOf(d))
            continue; // left behind by a cheaper entry
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            const double through = d + static_cast<double>(graph.cost[arc]);
            if (through < cost[graph.head[arc]]) {
                cost[graph.head[arc]] = through;
                heapPush(waiting, bitsOf(through), graph.head[arc]);
            }
        }
    }
}

// The largest float not above value (+infinity stays).
static float floatBelow(double value)
{
    float rounded = static_cast<float>(value);
    if (static_cast<double>(rounded) > value)
        rounded = std::nextafter(rounded, -std::numeric_limits<float>::infinity());
    return rounded;
}

// True when every arc has a partner back at the same cost.
static bool costsSymmetric(const CostGraph& graph)
{
    const int n = costGraphSize(graph);
    for (int v = 0; v < n; ++v)
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            const int w = graph.head[arc];
            bool partner = false;
            for (int back = graph.first[w]; back < graph.first[w + 1] && !partner; ++back)
                partner = graph.head[back] == v && graph.cost[back] == graph.cost[arc];
            if (!partner)
                return false;
        }
    return true;
}

static CostGraph reversed(const CostGraph& graph)
{
    const int n = costGraphSize(graph);
    CostGraph back;
    back.first.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int head : graph.head)
        ++back.first[head + 1];
    for (int v = 0; v < n; ++v)
        back.first[v + 1] += back.first[v];
    back.head.resize(graph.head.size());
    back.cost.resize(graph.cost.size());
    std::vector<int> next(back.first.begin(), back.first.end() - 1);
    for (int v = 0; v < n; ++v)
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            const int at = next[graph.head[arc]]++;
            back.head[at] = v;
            back.cost[at] = graph.cost[arc];
        }
    return back;
}

// The least ratio of an arc's cost to its ends' straight-line estimate, 1 at
// most, with the margin taken off.
static double straightFactorOf(const std::vector<Vertex>& vertices, const CostGraph& graph)
{
    double least = 1.0;
    for (int v = 0; v < costGraphSize(graph); ++v)
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            const double length = distanceEstimate(vertices[v], vertices[graph.head[arc]]);
            if (length > 0.0)
                least = std::min(least, static_cast<double>(graph.cost[arc]) / length);
        }
    return least * kStraightMargin;
}

// A vertex of the largest part the arcs join (union by size, lowest index first).
static int vertexOfLargestPart(const CostGraph& graph)
{
    const int n = costGraphSize(graph);
    std::vector<int> up(static_cast<std::size_t>(n)), size(static_cast<std::size_t>(n), 1);
    for (int v = 0; v < n; ++v)
        up[v] = v;
    const auto root = [&](int v) {
        while (up[v] != v)
            v = up[v] = up[up[v]];
        return v;
    };
    for (int v = 0; v < n; ++v)
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            int a = root(v), b = root(graph.head[arc]);
            if (a == b || std::isinf(graph.cost[arc]))
                continue;
            if (size[a] < size[b])
                std::swap(a, b);
            up[b] = a;
            size[a] += size[b];
        }
    int best = 0;
    for (int v = 0; v < n; ++v)
        if (size[root(v)] > size[root(best)])
            best = v;
    return best;
}

static std::vector<float> roundedDown(const std::vector<double>& cost)
{
    std::vector<float> rounded(cost.size());
    for (std::size_t v = 0; v < cost.size(); ++v)
        rounded[v] = floatBelow(cost[v]);
    return rounded;
}

static void store(std::vector<float>& table, const std::vector<float>& cost, int count, int k)
{
    for (std::size_t v = 0; v < cost.size(); ++v)
        table[v * count + k] = cost[v];
}

Landmarks chooseLandmarks(const std::vector<Vertex>& vertices, const CostGraph& graph, int count,
                          void (*progress)(int done, int total))
{
    Landmarks marks;
    const int n = costGraphSize(graph);
    marks.straightFactor = straightFactorOf(vertices, graph);
    if (n == 0 || count <= 0)
        return marks;
    const bool symmetric = costsSymmetric(graph);
    const int total = (count + 1) * (symmetric ? 1 : 2);
    int done = 0;
    std::vector<double> cost;
    costsFrom(graph, vertexOfLargestPart(graph), cost);
    if (progress != nullptr)
        progress(++done, total);
    // The distance to the nearest landmark so far; the first pass stands in
    // for "no landmark yet" with the distance from the starting vertex.
    std::vector<double> nearest = cost;
    std::vector<std::vector<float>> each;
    for (int k = 0; k < count; ++k) {
        int farthest = -1;
        for (int v = 0; v < n; ++v)
            if (std::isfinite(nearest[v]) && (farthest < 0 || nearest[v] > nearest[farthest]))
                farthest = v;
        if (farthest < 0 || (k > 0 && nearest[farthest] <= 0.0))
            break; // every vertex of the part is a landmark or as near as one
        costsFrom(graph, farthest, cost);
        if (progress != nullptr)
            progress(++done, total);
        for (int v = 0; v < n; ++v)
            nearest[v] = k == 0 ? cost[v] : std::min(nearest[v], cost[v]);
        marks.vertices.push_back(farthest);
        each.push_back(roundedDown(cost));
    }
    marks.count = static_cast<int>(marks.vertices.size());
    marks.away.assign(static_cast<std::size_t>(n) * marks.count, 0.0f);
    for (int k = 0; k < marks.count; ++k)
        store(marks.away, each[k], marks.count, k);
    each.clear();
    if (!symmetric) {
        const CostGraph back = reversed(graph);
        marks.toward.assign(marks.away.size(), 0.0f);
        for (int k = 0; k < marks.count; ++k) {
            costsFrom(back, marks.vertices[k], cost);
            store(marks.toward, roundedDown(cost), marks.count, k);
            if (progress != nullptr)
                progress(++done, total);
        }
    }
    if (progress != nullptr && done < total)
        progress(total, total);
    return marks;
}

// A bound from two stored distances: far is rounded down, so its double is
// at most the true one; near's true one is at most the next float up.
static double difference(float far, float near)
{
    const float nearAbove = std::nextafter(near, std::numeric_limits<float>::infinity());
    return static_cast<double>(far) - static_cast<double>(nearAbove);
}

double landmarkBound(const Landmarks& marks, int v, int goal)
{
    double best = 0.0;
    const std::size_t count = static_cast<std::size_t>(marks.count);
    const float* atV = marks.away.data() + v * count;
    const float* atGoal = marks.away.data() + goal * count;
    const float* backV = marks.toward.empty() ? atV : marks.toward.data() + v * count;
    const float* backGoal = marks.toward.empty() ? atGoal : marks.toward.data() + goal * count;
    for (std::size_t k = 0; k < count; ++k) {
        // d(L, goal) <= d(L, v) + d(v, goal) and d(v, L) <= d(v, goal) + d(goal, L).
        const double ahead = difference(atGoal[k], atV[k]);
        const double behind = difference(backV[k], backGoal[k]);
        if (ahead > best) // NaN (both unreached) is no bound
            best = ahead;
        if (behind > best)
            best = behind;
    }
    return std::isinf(best) ? best : best * kSumMargin;
}

double altEstimate(const Landmarks& marks, const std::vector<Vertex>& vertices, int v, int goal)
{
    const double straight = marks.straightFactor * distanceEstimate(vertices[v], vertices[goal]);
    return std::max(straight, landmarkBound(marks, v, goal));
}
