#include "route/search.h"

#include <chrono>
#include <limits>

#include "route/waiting_queue.h"

SearchMode searchMode = SearchMode::AStar;
SearchTrace lastSearch;
static WaitingQueue waiting; // kept between searches so its memory is reused

// The mode's priority of a vertex with cost so far g and distance h to the goal.
static float priority(SearchMode mode, float g, float h)
{
    if (mode == SearchMode::Dijkstra)
        return g;
    if (mode == SearchMode::Greedy)
        return h;
    return g + h;
}

static void resetTrace(SearchTrace& trace, std::size_t count, SearchMode mode, int start, int goal)
{
    const float unreached = std::numeric_limits<float>::infinity();
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
}

static bool alreadyImproved(const ExpansionChanges& changes, int vertex)
{
    for (int i = 0; i < changes.improvedCount; ++i)
        if (changes.improved[i].vertex == vertex)
            return true;
    return false;
}

// Relaxes every link of current, the expansion-th vertex taken, in link order.
// A link met twice is the list's in-place change twice: still one entry.
static void expand(SearchTrace& t, const std::vector<Vertex>& vertices, int current, int expansion,
                   ExpansionChanges& changes)
{
    const Vertex& vertex = vertices[current];
    for (int i = 0; i < vertex.linkCount; ++i) {
        const int neighbour = vertex.links[i].to;
        if (t.expandedAt[neighbour] >= 0)
            continue;
        const bool waiting = t.reachedAt[neighbour] >= 0;
        const float tentative = vertex.links[i].cost + t.g[current];
        if (waiting && t.g[neighbour] <= tentative)
            continue; // not strictly better: the first predecessor stays
        if (!waiting) {
            t.reachedAt[neighbour] = expansion + 1;
            t.h[neighbour] = vertexDistance(vertices[neighbour], vertices[t.goal]);
            changes.added[changes.addedCount++].vertex = neighbour;
        } else if (t.reachedAt[neighbour] <= expansion && !alreadyImproved(changes, neighbour)) {
            changes.improved[changes.improvedCount++].vertex = neighbour;
        }
        t.parent[neighbour] = current;
        t.g[neighbour] = tentative;
    }
    for (int i = 0; i < changes.addedCount; ++i)
        changes.added[i].score = priority(t.mode, t.g[changes.added[i].vertex], t.h[changes.added[i].vertex]);
    for (int i = 0; i < changes.improvedCount; ++i) {
        Rescore& change = changes.improved[i];
        change.score = priority(t.mode, t.g[change.vertex], t.h[change.vertex]);
    }
}

static void runSearch(SearchTrace& t, const std::vector<Vertex>& vertices, WaitingQueue& queue)
{
    t.g[t.start] = 0.0f;
    t.h[t.start] = vertexDistance(vertices[t.start], vertices[t.goal]);
    t.reachedAt[t.start] = 0;
    queueStart(queue, vertices.size(), t.start, priority(t.mode, 0.0f, t.h[t.start]));
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

// Ascending keys with a hint: constant time each into a table that is empty
// or whose entries all lie elsewhere, the usual cases.
static void writePredecessors(std::map<int, int>& cameFrom, const std::vector<int>& parent)
{
    auto hint = cameFrom.begin();
    for (int v = 0; v < static_cast<int>(parent.size()); ++v) {
        if (parent[v] < 0)
            continue;
        hint = cameFrom.insert_or_assign(hint, v, parent[v]);
        ++hint;
    }
}

bool searchRoute(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                 SearchMode mode, SearchTrace* trace)
{
    const auto began = std::chrono::steady_clock::now();
    SearchTrace local;
    SearchTrace& t = trace != nullptr ? *trace : local;
    resetTrace(t, vertices.size(), mode, start, goal);
    runSearch(t, vertices, waiting);
    writePredecessors(cameFrom, t.parent);
    t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return t.found;
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
    }
    return "?";
}
