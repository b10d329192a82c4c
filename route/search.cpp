#include "route/search.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "route/bidirectional.h"
#include "route/breadth_first.h"
#include "route/prefetch.h"
#include "route/prepared.h"
#include "route/prepared_search.h"
#include "route/hierarchy_cache.h"
#include "route/untraced_search.h"
#include "route/waiting_queue.h"
#include "route/weighted.h"

SearchMode searchMode = SearchMode::AStar;
Heuristic searchHeuristic = Heuristic::Euclidean;
float searchWeight = kDefaultWeight;
SearchTrace lastSearch;
// Kept between searches so that a short search on a large graph costs what
// it touches, not the graph's size: the scratch trace (used when the caller
// wants none) is put back to its defaults only where the last search wrote.
static WaitingQueue waitingQueue;
static SearchTrace scratch;
static std::vector<int> scratchWritten;
static std::vector<int> reached; // every vertex this search reached
static std::uint64_t searchesRun = 0;

static void resetTrace(SearchTrace& trace, std::size_t count, SearchMode mode, int start, int goal)
{
    const double unreached = std::numeric_limits<double>::infinity();
    trace.mode = mode;
    trace.start = start;
    trace.goal = goal;
    trace.found = false;
    trace.expanded.clear();
    trace.reachedAt.assign(count, -1);
    trace.expandedAt.assign(count, -1);
    trace.parent.assign(count, -1);
    trace.g.assign(count, unreached);
    trace.h.assign(count, unreached);
    trace.gBack.clear();
    trace.side.clear();
    trace.expandedSide.clear();
    trace.meeting = -1;
    trace.route.clear();
}

// What the trace records of the search chosen and the costs it ran under.
static void takeChoice(SearchTrace& trace, const SearchChoice& choice, const CostModel& costs)
{
    trace.heuristic = choice.heuristic;
    trace.weight = choice.weight;
    trace.givenCosts = costs.given;
    trace.costScale = costs.scale;
}

static void resetEntry(SearchTrace& trace, int v)
{
    trace.reachedAt[v] = -1;
    trace.expandedAt[v] = -1;
    trace.parent[v] = -1;
    trace.g[v] = std::numeric_limits<double>::infinity();
    trace.h[v] = std::numeric_limits<double>::infinity();
}

static SearchTrace& cleanTrace(SearchTrace* given, std::size_t count, SearchMode mode, int start, int goal)
{
    if (given != nullptr) {
        resetTrace(*given, count, mode, start, goal);
        return *given;
    }
    if (scratch.reachedAt.size() != count) {
        resetTrace(scratch, count, mode, start, goal);
    } else {
        for (int v : scratchWritten)
            resetEntry(scratch, v);
        scratch.mode = mode;
        scratch.start = start;
        scratch.goal = goal;
        scratch.found = false;
        scratch.expanded.clear();
        scratch.route.clear();
    }
    scratchWritten.clear();
    return scratch;
}

static bool alreadyImproved(const ExpansionChanges& changes, int vertex)
{
    for (int i = 0; i < changes.improvedCount; ++i)
        if (changes.improved[i].vertex == vertex)
            return true;
    return false;
}

// The cost so far through link i of from: in float as ever, or in double
// where costs are given.
static double through(const SearchTrace& t, const std::vector<Vertex>& vertices, int from, int i)
{
    const Link& link = vertices[from].links[i];
    if (!t.givenCosts)
        return link.cost + static_cast<float>(t.g[from]);
    return t.g[from] + linkCost(vertices[from], vertices[link.to], link);
}

double traceLinkCost(const SearchTrace& trace, const Vertex& from, const Vertex& to, const Link& link)
{
    return trace.givenCosts ? static_cast<double>(linkCost(from, to, link)) : static_cast<double>(link.cost);
}

double traceEstimate(const SearchTrace& trace, const Vertex& vertex, const Vertex& target)
{
    const float straight = heuristicEstimate(trace.heuristic, vertex, target);
    return trace.givenCosts ? straight * trace.costScale : straight;
}

// Relaxes every link of current, the expansion-th vertex taken, in link order.
// A link met twice is the list's in-place change twice: still one entry.
static void expand(SearchTrace& t, const std::vector<Vertex>& vertices, int current, int expansion,
                   ExpansionChanges& changes)
{
    const Vertex& vertex = vertices[current];
    // A large graph's vertices are far apart in memory: ask for every
    // neighbour's position at once rather than wait for each in turn.
    for (int i = 0; i < vertex.linkCount; ++i)
        prefetch(&vertices[vertex.links[i].to]);
    for (int i = 0; i < vertex.linkCount; ++i) {
        const int neighbour = vertex.links[i].to;
        if (t.expandedAt[neighbour] >= 0)
            continue;
        const bool waiting = t.reachedAt[neighbour] >= 0;
        const double tentative = through(t, vertices, current, i);
        if (waiting && t.g[neighbour] <= tentative)
            continue; // not strictly better: the first predecessor stays
        if (!waiting) {
            t.reachedAt[neighbour] = expansion + 1;
            reached.push_back(neighbour);
            t.h[neighbour] = traceEstimate(t, vertices[neighbour], vertices[t.goal]);
            changes.added[changes.addedCount++].vertex = neighbour;
        } else if (t.reachedAt[neighbour] <= expansion && !alreadyImproved(changes, neighbour)) {
            changes.improved[changes.improvedCount++].vertex = neighbour;
        }
        t.parent[neighbour] = current;
        t.g[neighbour] = tentative;
    }
    // Scores from the final costs: the list re-sorts only after the expansion.
    for (int i = 0; i < changes.addedCount; ++i)
        changes.added[i].score =
            searchScore(t.mode, t.g[changes.added[i].vertex], t.h[changes.added[i].vertex], t.givenCosts, t.weight);
    for (int i = 0; i < changes.improvedCount; ++i)
        changes.improved[i].score = searchScore(t.mode, t.g[changes.improved[i].vertex],
                                                t.h[changes.improved[i].vertex], t.givenCosts, t.weight);
}

static void runSearch(SearchTrace& t, const std::vector<Vertex>& vertices, WaitingQueue& queue)
{
    t.g[t.start] = 0.0;
    t.h[t.start] = traceEstimate(t, vertices[t.start], vertices[t.goal]);
    t.reachedAt[t.start] = 0;
    reached.push_back(t.start);
    queueStart(queue, vertices.size(), t.start, searchScore(t.mode, 0.0, t.h[t.start], t.givenCosts, t.weight));
    for (int current = queueTake(queue); current >= 0; current = queueTake(queue)) {
        if (current == t.goal) {
            t.found = true;
            return;
        }
        const int expansion = static_cast<int>(t.expanded.size());
        t.expandedAt[current] = expansion;
        t.expanded.push_back(current);
        ExpansionChanges changes;
        expand(t, vertices, current, expansion, changes);
        queueApply(queue, expansion, changes);
    }
}

// In ascending order with a hint: constant time each into a table that is
// empty or whose entries all lie elsewhere, the usual cases. Only the final
// predecessor of each vertex is written, which leaves the same table as
// writing every improvement as it happens.
static void writePredecessors(std::map<int, int>& cameFrom, const std::vector<int>& parent)
{
    const bool few = reached.size() < parent.size() / 16;
    if (few)
        std::sort(reached.begin(), reached.end());
    auto hint = cameFrom.begin();
    const std::size_t count = few ? reached.size() : parent.size();
    for (std::size_t i = 0; i < count; ++i) {
        const int v = few ? reached[i] : static_cast<int>(i);
        if (parent[v] < 0)
            continue;
        hint = cameFrom.insert_or_assign(hint, v, parent[v]);
        ++hint;
    }
}

// The flat table takes the writes in any order.
static void writePredecessors(Predecessors& cameFrom, const std::vector<int>& parent)
{
    setCameFromEach(cameFrom, reached, parent);
}

void clearTrace(SearchTrace& trace)
{
    trace = SearchTrace{};
    trace.generation = ++searchesRun;
}

// After a search cut short the kept tables no longer say what they hold:
// the next search starts them afresh.
static void forgetKeptTables()
{
    waitingQueue = WaitingQueue{};
    scratch = SearchTrace{};
    scratchWritten = std::vector<int>{};
    reached = std::vector<int>{};
}

// Breadth-first and bidirectional searches keep no tables between runs: a
// trace of their own when the caller wants none.
template <typename Table>
static bool runOtherSearch(Table& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                           const SearchChoice& choice, const CostModel& costs, SearchTrace* trace)
{
    const auto began = std::chrono::steady_clock::now();
    SearchTrace own;
    SearchTrace& t = trace != nullptr ? *trace : own;
    try {
        resetTrace(t, vertices.size(), choice.mode, start, goal);
        takeChoice(t, choice, costs);
        if (choice.mode == SearchMode::Bfs)
            breadthFirstSearch(t, vertices);
        else if (choice.mode == SearchMode::Ch)
            hierarchySearch(t, vertices);
        else
            bidirectionalSearch(t, vertices);
        reached.clear();
        for (std::size_t v = 0; v < t.parent.size(); ++v)
            if (t.parent[v] >= 0)
                reached.push_back(static_cast<int>(v));
        writePredecessors(cameFrom, t.parent);
    } catch (...) {
        forgetKeptTables();
        if (trace != nullptr)
            clearTrace(*trace);
        throw;
    }
    t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    t.generation = ++searchesRun;
    return t.found;
}

// Predecessors a prepared search found, into either table: the ordered one
// in ascending order, so that each goes in beside the last in constant time.
static void writeEntries(std::map<int, int>& cameFrom, std::vector<std::pair<int, int>>& writes)
{
    std::stable_sort(writes.begin(), writes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    auto hint = cameFrom.begin();
    for (const auto& [vertex, from] : writes)
        hint = std::next(cameFrom.insert_or_assign(hint, vertex, from));
}

static void writeEntries(Predecessors& cameFrom, std::vector<std::pair<int, int>>& writes)
{
    for (const auto& [vertex, from] : writes)
        setCameFrom(cameFrom, vertex, from);
}

// Jump Point Search and ALT: what they search is prepared first; a graph
// their mode cannot search leaves the trace as after a search that took nothing.
template <typename Table>
static bool runPrepared(Table& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                        const SearchChoice& choice, const CostModel& costs, SearchTrace* trace, PreparedGraph* given)
{
    const auto began = std::chrono::steady_clock::now();
    bool found = false;
    try {
        if (trace != nullptr) {
            resetTrace(*trace, vertices.size(), choice.mode, start, goal);
            takeChoice(*trace, choice, costs);
        }
        PreparedGraph own;
        PreparedGraph& prepared = given != nullptr ? *given : preparationFor(vertices, own);
        std::string why;
        std::vector<std::pair<int, int>> writes;
        found = prepareSearch(prepared, vertices, choice.mode, why) &&
                runPreparedSearch(trace, writes, vertices, choice.mode, start, goal, prepared);
        writeEntries(cameFrom, writes);
    } catch (...) {
        forgetKeptTables();
        if (trace != nullptr)
            clearTrace(*trace);
        throw;
    }
    ++searchesRun;
    if (trace != nullptr) {
        trace->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        trace->generation = searchesRun;
    }
    return found;
}

template <typename Table>
static bool searchInto(Table& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                       const SearchChoice& choice, SearchTrace* trace, const CostModel& costs,
                       PreparedGraph* prepared)
{
    if (choice.mode == SearchMode::Jps || choice.mode == SearchMode::Alt)
        return runPrepared(cameFrom, vertices, start, goal, choice, costs, trace, prepared);
    if (choice.mode == SearchMode::Bfs || choice.mode == SearchMode::BiDijkstra || choice.mode == SearchMode::BiAStar ||
        choice.mode == SearchMode::Ch)
        return runOtherSearch(cameFrom, vertices, start, goal, choice, costs, trace);
    if (trace == nullptr && untracedSearchFits(choice, costs, vertices.size())) {
        const bool found = untracedSearch(cameFrom, vertices, start, goal, choice);
        ++searchesRun;
        return found;
    }
    const SearchMode mode = choice.mode;
    const auto began = std::chrono::steady_clock::now();
    try {
        SearchTrace& t = cleanTrace(trace, vertices.size(), mode, start, goal);
        takeChoice(t, choice, costs);
        reached.clear();
        runSearch(t, vertices, waitingQueue);
        writePredecessors(cameFrom, t.parent);
    } catch (...) {
        forgetKeptTables();
        if (trace != nullptr)
            clearTrace(*trace);
        throw;
    }
    SearchTrace& t = trace != nullptr ? *trace : scratch;
    if (&t == &scratch)
        scratchWritten.swap(reached);
    t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    t.generation = ++searchesRun;
    return t.found;
}

bool searchRoute(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal, SearchMode mode,
                 SearchTrace* trace, const CostModel& costs)
{
    return searchInto(cameFrom, vertices, start, goal, SearchChoice{mode, searchHeuristic, searchWeight}, trace, costs,
                      nullptr);
}

bool searchRouteWith(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                     const SearchChoice& choice, SearchTrace* trace, const CostModel& costs, PreparedGraph* prepared)
{
    return searchInto(cameFrom, vertices, start, goal, choice, trace, costs, prepared);
}

bool searchRoute(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                 SearchMode mode, SearchTrace* trace, const CostModel& costs)
{
    return searchInto(cameFrom, vertices, start, goal, SearchChoice{mode, searchHeuristic, searchWeight}, trace, costs,
                      nullptr);
}

bool searchRouteWith(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                     const SearchChoice& choice, SearchTrace* trace, const CostModel& costs, PreparedGraph* prepared)
{
    return searchInto(cameFrom, vertices, start, goal, choice, trace, costs, prepared);
}

double searchScore(SearchMode mode, double g, double h, bool given, float weight)
{
    switch (mode) {
    case SearchMode::Dijkstra:
    case SearchMode::BiDijkstra:
    case SearchMode::Bfs:
    case SearchMode::Ch:
        return g;
    case SearchMode::Greedy:
        return h;
    case SearchMode::Weighted:
        return given ? g + static_cast<double>(weight) * h
                     : weightedScore(static_cast<float>(g), static_cast<float>(h), weight);
    case SearchMode::AStar:
    case SearchMode::BiAStar:
    case SearchMode::Jps:
    case SearchMode::Alt:
        break;
    }
    return given ? g + h : static_cast<float>(g) + static_cast<float>(h);
}

const char* searchModeName(SearchMode mode)
{
    switch (mode) {
    case SearchMode::AStar:
        return "A*";
    case SearchMode::Dijkstra:
        return "Dijkstra";
    case SearchMode::Greedy:
        return "greedy best-first";
    case SearchMode::Weighted:
        return "weighted A*";
    case SearchMode::BiDijkstra:
        return "bidirectional Dijkstra";
    case SearchMode::BiAStar:
        return "bidirectional A*";
    case SearchMode::Bfs:
        return "breadth-first";
    case SearchMode::Jps:
        return "Jump Point Search";
    case SearchMode::Alt:
        return "ALT (landmarks)";
    case SearchMode::Ch:
        return "contraction hierarchies";
    }
    return "?";
}
