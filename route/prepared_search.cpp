#include "route/prepared_search.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "route/alt_search.h"
#include "route/jump_points.h"

// Kept between searches so a short search allocates nothing.
static AltSearch altResult;

static void fillTables(SearchTrace& t, const std::vector<int>& expanded, const std::vector<int>& reached,
                       const std::vector<int>& reachedAt, const std::vector<int>& parent,
                       const std::vector<double>& g, const std::vector<double>& h)
{
    for (std::size_t i = 0; i < reached.size(); ++i) {
        if (std::isinf(g[i]))
            continue; // met but never waiting: a bound proved it cannot reach the goal
        const int v = reached[i];
        t.reachedAt[v] = reachedAt[i];
        t.parent[v] = parent[i];
        t.g[v] = g[i];
        t.h[v] = h[i];
    }
    for (int v : expanded) {
        if (t.expandedAt[v] < 0)
            t.expandedAt[v] = static_cast<int>(t.expanded.size());
        t.expanded.push_back(v);
    }
}

static bool runJumps(SearchTrace* t, std::vector<std::pair<int, int>>& steps, const GridShape& grid, int start,
                     int goal)
{
    const JumpSearch jumped = jumpPointSearch(grid, start, goal, t != nullptr);
    if (t != nullptr) {
        fillTables(*t, jumped.jumpPoints, jumped.reached, jumped.reachedAt, jumped.parent, jumped.g, jumped.h);
        t->found = jumped.found;
        t->route.assign(jumped.route.rbegin(), jumped.route.rend());
    }
    steps.clear();
    steps.reserve(jumped.route.size());
    for (std::size_t i = 1; i < jumped.route.size(); ++i)
        steps.emplace_back(jumped.route[i], jumped.route[i - 1]);
    return jumped.found;
}

static bool runAlt(SearchTrace* t, std::vector<std::pair<int, int>>& writes, const std::vector<Vertex>& vertices,
                   const PreparedGraph& prepared, int start, int goal)
{
    altSearch(prepared.arcs, vertices, prepared.landmarks, start, goal, altResult);
    if (t != nullptr) {
        fillTables(*t, altResult.expanded, altResult.reached, altResult.reachedAt, altResult.parent, altResult.g,
                   altResult.h);
        t->found = altResult.found;
    }
    writes.clear();
    for (std::size_t i = 0; i < altResult.reached.size(); ++i)
        if (altResult.parent[i] >= 0)
            writes.emplace_back(altResult.reached[i], altResult.parent[i]);
    return altResult.found;
}

bool runPreparedSearch(SearchTrace* trace, std::vector<std::pair<int, int>>& writes,
                       const std::vector<Vertex>& vertices, SearchMode mode, int start, int goal,
                       PreparedGraph& prepared)
{
    if (mode == SearchMode::Jps)
        return runJumps(trace, writes, prepared.grid, start, goal);
    return runAlt(trace, writes, vertices, prepared, start, goal);
}
