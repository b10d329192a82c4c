#include "route/contraction.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <new>
#include <queue>
#include <utility>

// Witness searches while only estimating a priority may stop sooner: a
// missed witness there only overrates the vertex.
constexpr int kEstimateSettleLimit = 30;
// Weighing the edge difference above the terms that spread contractions
// evenly halves the shortcuts of a road lattice (and the query's work).
constexpr int kEdgeDifferenceWeight = 8;
constexpr std::size_t kBytesPerVertex = 160; // the lists' headers, the tables, the queue
constexpr std::size_t kBytesPerLiveArc = 2 * 2 * sizeof(double); // both lists, half their capacity spare
constexpr std::size_t kBytesPerKeptArc = 2 * sizeof(int) + 2 * sizeof(double);

struct LiveArc {
    int to;
    int middle;
    double cost;
};

struct Shortcut {
    int from, to;
    double cost;
};

struct Contraction {
    std::vector<std::vector<LiveArc>> out, in;
    std::vector<char> done;
    std::vector<int> doneNeighbours;
    std::vector<double> witness; // witness search costs; +infinity where untouched
    std::vector<int> witnessTouched;
    std::vector<std::pair<double, int>> witnessHeap;
    std::vector<int> targetOf; // the vertex whose witnesses are sought, at each of its targets
    std::vector<int> level;    // 1 + the highest level among contracted neighbours
    std::size_t liveArcs = 0;
    std::size_t keptArcs = 0; // both directions
    std::size_t keptUp = 0;
};

using Entry = std::pair<double, int>;
static const auto kLater = std::greater<Entry>();

static bool addArc(std::vector<LiveArc>& list, int to, int middle, double cost)
{
    for (LiveArc& arc : list)
        if (arc.to == to) {
            if (cost < arc.cost)
                arc.cost = cost, arc.middle = middle;
            return false;
        }
    list.push_back(LiveArc{to, middle, cost});
    return true;
}

static void removeArc(std::vector<LiveArc>& list, int to)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].to == to) {
            list[i] = list.back();
            list.pop_back();
            return;
        }
}

static void loadGraph(Contraction& c, const CostGraph& graph)
{
    const int n = costGraphSize(graph);
    c.out.assign(n, {});
    c.in.assign(n, {});
    c.done.assign(n, 0);
    c.doneNeighbours.assign(n, 0);
    c.witness.assign(n, std::numeric_limits<double>::infinity());
    c.targetOf.assign(n, -1);
    c.level.assign(n, 0);
    for (int v = 0; v < n; ++v)
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc) {
            const int w = graph.head[arc];
            const double cost = graph.cost[arc];
            if (w == v || !(cost < std::numeric_limits<double>::infinity()))
                continue;
            if (addArc(c.out[v], w, -1, cost)) {
                c.in[w].push_back(LiveArc{v, -1, cost});
                ++c.liveArcs;
            } else {
                for (LiveArc& back : c.in[w])
                    if (back.to == v)
                        back.cost = std::min(back.cost, cost);
            }
        }
}

// Dijkstra from source over the remaining graph without skip, until its
// lowest key passes bound, it has taken limit vertices or all targets (the
// vertices whose targetOf is skip); leaves its costs in c.witness (to be
// cleared by clearWitness).
static void witnessSearch(Contraction& c, int source, int skip, double bound, int limit, int targets)
{
    c.witness[source] = 0.0;
    c.witnessTouched.push_back(source);
    c.witnessHeap.assign(1, Entry{0.0, source});
    int taken = 0;
    while (!c.witnessHeap.empty()) {
        std::pop_heap(c.witnessHeap.begin(), c.witnessHeap.end(), kLater);
        const Entry top = c.witnessHeap.back();
        c.witnessHeap.pop_back();
        if (top.first > c.witness[top.second])
            continue;
        if (top.first > bound || ++taken > limit)
            break;
        if (c.targetOf[top.second] == skip && --targets == 0)
            break;
        for (const LiveArc& arc : c.out[top.second]) {
            if (arc.to == skip)
                continue;
            const double reach = top.first + arc.cost;
            if (reach > bound)
                continue; // too dear to witness anything
            if (reach < c.witness[arc.to]) {
                if (c.witness[arc.to] == std::numeric_limits<double>::infinity())
                    c.witnessTouched.push_back(arc.to);
                c.witness[arc.to] = reach;
                c.witnessHeap.push_back(Entry{reach, arc.to});
                std::push_heap(c.witnessHeap.begin(), c.witnessHeap.end(), kLater);
            }
        }
    }
}

static void clearWitness(Contraction& c)
{
    for (int v : c.witnessTouched)
        c.witness[v] = std::numeric_limits<double>::infinity();
    c.witnessTouched.clear();
}

// The shortcuts contracting v needs, as (from, to, cost) through v; only
// counted when shortcuts is null.
static int neededShortcuts(Contraction& c, int v, int limit, std::vector<Shortcut>* shortcuts)
{
    int count = 0;
    for (const LiveArc& into : c.in[v]) {
        double bound = -1.0;
        for (const LiveArc& onward : c.out[v])
            if (onward.to != into.to)
                bound = std::max(bound, into.cost + onward.cost);
        if (bound < 0.0)
            continue; // v leads nowhere else from here
        int targets = 0;
        for (const LiveArc& onward : c.out[v])
            if (onward.to != into.to)
                c.targetOf[onward.to] = v, ++targets;
        witnessSearch(c, into.to, v, bound, limit, targets);
        for (const LiveArc& onward : c.out[v]) {
            if (onward.to == into.to)
                continue;
            const double through = into.cost + onward.cost;
            if (c.witness[onward.to] <= through)
                continue; // a route avoiding v costs no more
            ++count;
            if (shortcuts != nullptr)
                shortcuts->push_back(Shortcut{into.to, onward.to, through});
        }
        clearWitness(c);
        for (const LiveArc& onward : c.out[v])
            c.targetOf[onward.to] = -1;
    }
    return count;
}

static int priorityOf(Contraction& c, int v)
{
    const int removed = static_cast<int>(c.in[v].size() + c.out[v].size());
    return kEdgeDifferenceWeight * (neededShortcuts(c, v, kEstimateSettleLimit, nullptr) - removed) +
           c.doneNeighbours[v] + c.level[v];
}

// Takes v out of the remaining graph: its lists become its arcs upward.
static void contract(Contraction& c, int v, int limit, long long& shortcutCount)
{
    std::vector<Shortcut> shortcuts;
    neededShortcuts(c, v, limit, &shortcuts);
    for (const LiveArc& into : c.in[v])
        removeArc(c.out[into.to], v);
    for (const LiveArc& onward : c.out[v])
        removeArc(c.in[onward.to], v);
    c.liveArcs -= c.in[v].size() + c.out[v].size();
    c.keptArcs += c.in[v].size() + c.out[v].size();
    c.keptUp += c.out[v].size();
    for (const Shortcut& s : shortcuts) {
        const int from = s.from, to = s.to;
        if (addArc(c.out[from], to, v, s.cost)) {
            c.in[to].push_back(LiveArc{from, v, s.cost});
            ++c.liveArcs;
            ++shortcutCount;
        } else {
            for (LiveArc& back : c.in[to])
                if (back.to == from && s.cost < back.cost)
                    back.cost = s.cost, back.middle = v;
        }
    }
    c.done[v] = 1;
}

static void packArcs(std::vector<std::vector<LiveArc>>& lists, HierarchyArcs& arcs, std::size_t total)
{
    arcs.first.reserve(lists.size() + 1);
    arcs.head.reserve(total);
    arcs.middle.reserve(total);
    arcs.cost.reserve(total);
    for (std::vector<LiveArc>& list : lists) {
        arcs.first.push_back(static_cast<int>(arcs.head.size()));
        for (const LiveArc& arc : list) {
            arcs.head.push_back(arc.to);
            arcs.middle.push_back(arc.middle);
            arcs.cost.push_back(arc.cost);
        }
        std::vector<LiveArc>().swap(list);
    }
    arcs.first.push_back(static_cast<int>(arcs.head.size()));
}

static std::size_t runningEstimate(const Contraction& c)
{
    return c.done.size() * kBytesPerVertex + c.liveArcs * kBytesPerLiveArc + c.keptArcs * 2 * sizeof(LiveArc);
}

std::size_t hierarchyMemoryEstimate(const CostGraph& graph)
{
    const std::size_t arcs = graph.head.size();
    // Road-like graphs end with about as many shortcuts as arcs.
    return static_cast<std::size_t>(costGraphSize(graph)) * kBytesPerVertex + arcs * kBytesPerLiveArc +
           2 * arcs * (2 * sizeof(LiveArc) + kBytesPerKeptArc);
}

static std::string megabytes(std::size_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

static HierarchyStatus build(const CostGraph& graph, Hierarchy& h, const HierarchyOptions& options, std::string& why)
{
    const std::size_t estimate = hierarchyMemoryEstimate(graph);
    if (estimate > options.memoryLimit || graph.head.size() > static_cast<std::size_t>(1) << 29) {
        why = "the hierarchy would need about " + megabytes(estimate) + ", more than the " +
              megabytes(options.memoryLimit) + " allowed";
        return HierarchyStatus::TooLarge;
    }
    const auto cancelled = [&] { return options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed); };
    Contraction c;
    loadGraph(c, graph);
    const int n = costGraphSize(graph);
    std::vector<int> priority(n);
    std::priority_queue<std::pair<int, int>, std::vector<std::pair<int, int>>, std::greater<std::pair<int, int>>> queue;
    for (int v = 0; v < n; ++v) {
        if ((v & 1023) == 0 && cancelled()) {
            why = "building the hierarchy was cancelled";
            return HierarchyStatus::Cancelled;
        }
        priority[v] = priorityOf(c, v);
        queue.push({priority[v], v});
    }
    h.rank.assign(n, -1);
    const int step = std::max(1, n / 1000);
    int contracted = 0;
    while (!queue.empty()) {
        const std::pair<int, int> top = queue.top();
        queue.pop();
        const int v = top.second;
        if (c.done[v] || top.first != priority[v])
            continue;
        priority[v] = priorityOf(c, v);
        if (!queue.empty() && priority[v] > queue.top().first) {
            queue.push({priority[v], v});
            continue;
        }
        if (cancelled()) {
            why = "building the hierarchy was cancelled";
            return HierarchyStatus::Cancelled;
        }
        contract(c, v, options.witnessSettleLimit, h.shortcuts);
        h.rank[v] = contracted++;
        if (runningEstimate(c) > options.memoryLimit) {
            why = "the hierarchy grew past the " + megabytes(options.memoryLimit) + " allowed";
            return HierarchyStatus::TooLarge;
        }
        // Each neighbour once, though most are met both ways.
        for (const std::vector<LiveArc>* list : {&c.in[v], &c.out[v]})
            for (const LiveArc& arc : *list)
                if (c.targetOf[arc.to] != v) {
                    c.targetOf[arc.to] = v;
                    ++c.doneNeighbours[arc.to];
                    c.level[arc.to] = std::max(c.level[arc.to], c.level[v] + 1);
                    priority[arc.to] = priorityOf(c, arc.to);
                    queue.push({priority[arc.to], arc.to});
                }
        for (const std::vector<LiveArc>* list : {&c.in[v], &c.out[v]})
            for (const LiveArc& arc : *list)
                c.targetOf[arc.to] = -1;
        if (options.progress != nullptr && contracted % step == 0)
            options.progress(static_cast<double>(contracted) / n, options.context);
    }
    if (c.keptArcs > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        why = "the hierarchy has more arcs than it can index";
        return HierarchyStatus::TooLarge;
    }
    h.vertexCount = n;
    packArcs(c.out, h.up, c.keptUp);
    packArcs(c.in, h.down, c.keptArcs - c.keptUp);
    if (options.progress != nullptr)
        options.progress(1.0, options.context);
    return HierarchyStatus::Built;
}

HierarchyStatus buildHierarchy(const CostGraph& graph, Hierarchy& hierarchy, const HierarchyOptions& options,
                               std::string& why)
{
    hierarchy = Hierarchy{};
    why.clear();
    HierarchyStatus status = HierarchyStatus::TooLarge;
    try {
        status = build(graph, hierarchy, options, why);
    } catch (const std::bad_alloc&) {
        why = "memory ran out while building the hierarchy";
        status = HierarchyStatus::TooLarge;
    }
    if (status != HierarchyStatus::Built)
        hierarchy = Hierarchy{};
    return status;
}
