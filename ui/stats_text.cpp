#include "ui/stats_text.h"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "route/dijkstra.h"
#include "route/hierarchy_cache.h"
#include "route/route_walk.h"
#include "route/search_names.h"
#include "route/weighted.h"
#include "ui/search_steps.h"

constexpr int kLinksPerLine = 4;

static std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
static std::string format(const char* pattern, ...)
{
    char buffer[256];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    return buffer;
}

static bool hasTables(const SearchTrace& trace, int vertex)
{
    return vertex >= 0 && vertex < static_cast<int>(trace.g.size()) &&
           vertex < static_cast<int>(trace.h.size()) && vertex < static_cast<int>(trace.reachedAt.size()) &&
           vertex < static_cast<int>(trace.expandedAt.size());
}

static std::string searchState(const SearchTrace& trace, int vertex)
{
    const std::size_t i = static_cast<std::size_t>(vertex);
    if (!hasTables(trace, vertex) || trace.reachedAt[i] == -1)
        return "never reached by the last search";
    const double f = searchScore(trace.mode, trace.g[i], trace.h[i], trace.givenCosts, trace.weight);
    std::string line = format("g %.2f, h %.2f, f %.2f, ", trace.g[i], trace.h[i], f);
    if (i < trace.gBack.size())
        line = format("g forward %.2f, backward %.2f, h %.2f, ", trace.g[i], trace.gBack[i], trace.h[i]);
    if (trace.expandedAt[i] != -1)
        return line + format("expanded at step %d", trace.expandedAt[i] + 1);
    return line + format("waiting since step %d, never expanded", trace.reachedAt[i]);
}

double foundCost(const SearchTrace& trace)
{
    if (!trace.found || !hasTables(trace, trace.goal))
        return kNoRoute;
    return trace.g[static_cast<std::size_t>(trace.goal)];
}

int routeHops(const SearchTrace& trace)
{
    const std::size_t route = traceRoute(trace).size();
    return route == 0 ? 0 : static_cast<int>(route) - 1;
}

bool costsAgree(double cost, double cheapest, int hops)
{
    if (std::isinf(cost) || std::isinf(cheapest))
        return cost == cheapest;
    const float larger = static_cast<float>(std::max(std::fabs(cost), std::fabs(cheapest)));
    return static_cast<float>(std::fabs(cost - cheapest)) <= static_cast<float>(hops + 1) * FLT_EPSILON * larger;
}

std::string exactCostText(double cost)
{
    char buffer[64];
    // A whole number is written out in full: 200, not the shorter 2e+02.
    if (cost == std::floor(cost) && std::fabs(cost) < 0x1p53) {
        std::snprintf(buffer, sizeof buffer, "%.0f", cost);
        return buffer;
    }
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, cost);
        if (std::strtod(buffer, nullptr) == cost)
            break;
    }
    return buffer;
}

std::string costText(double cost, const Scene& map)
{
    switch (map.costUnit) {
    case CostUnit::FileUnits:
        return exactCostText(cost);
    case CostUnit::Metres:
        return format("%.1f m", cost);
    case CostUnit::Seconds:
        return format("%.1f s", cost);
    case CostUnit::Length:
        break;
    }
    if (map.cellSize > 0.0)
        return format("%.2f cells", cost / map.cellSize);
    if (map.metresPerUnit > 0.0)
        return format("%.1f m", cost * map.metresPerUnit);
    return format("%.2f", cost);
}

std::string searchTitle(const SearchTrace& trace)
{
    std::string title = searchModeName(trace.mode);
    if (trace.mode == SearchMode::Weighted)
        return title + format(" (w %g, %s)", trace.weight, heuristicName(trace.heuristic));
    if (usesHeuristic(trace.mode) && trace.heuristic != Heuristic::Euclidean)
        return title + " (" + heuristicName(trace.heuristic) + ")";
    return title;
}

std::string searchLine(const SearchTrace& trace, const Scene& map)
{
    const std::string title = searchTitle(trace);
    const char* name = title.c_str();
    const std::string counts = format("expanded %d / %zu vertices, %.2f ms", stepCount(trace), map.vertices.size(),
                                      trace.seconds * 1000.0);
    if (!trace.found && trace.mode == SearchMode::Ch) {
        const std::string note = hierarchyNote(map.vertices, graphRevision());
        if (!note.empty())
            return std::string(name) + ": " + note + ", no route yet";
    }
    if (!trace.found)
        return format("%s: no route from %d to %d, ", name, trace.start, trace.goal) + counts;
    return format("%s: cost ", name) + costText(foundCost(trace), map) + format(", %d hops, ", routeHops(trace)) +
           counts;
}

std::string checkLine(const SearchTrace& trace, const Reference& reference, const Scene& map)
{
    const double cost = foundCost(trace);
    if (std::isinf(reference.cost) && std::isinf(cost))
        return format("Dijkstra check: no route either, expanded %d", reference.expanded);
    std::string line = "Dijkstra check: ";
    line += std::isinf(reference.cost) ? std::string("no route") : "cost " + costText(reference.cost, map);
    if (trace.mode == SearchMode::Weighted) {
        line += format(", expanded %d - cost <= %g x cheapest: ", reference.expanded, trace.weight);
        return line + (withinBound(cost, reference.cost, trace.weight, routeHops(trace)) ? "yes" : "no");
    }
    line += format(", expanded %d - cheapest: ", reference.expanded);
    if (costsAgree(cost, reference.cost, routeHops(trace)))
        return line + "yes";
    if (std::isinf(cost) || std::isinf(reference.cost))
        return line + "no";
    return line + format("no, %.1f%% dearer", static_cast<float>((cost - reference.cost) / reference.cost) * 100.0f);
}

std::string noSearchLine(SearchMode mode)
{
    return format("%s: no search yet - ALT+click a start, SHIFT+click a goal", searchModeName(mode));
}

std::string replayLine(int step, int total, double speed, bool playing)
{
    return format("replay: step %d / %d, %.0f expansions/s, %s", step, total, speed, playing ? "playing" : "paused");
}

std::vector<std::string> inspectLines(const std::vector<Vertex>& vertices, int vertex, const SearchTrace* trace)
{
    const Vertex& v = vertices[static_cast<std::size_t>(vertex)];
    std::vector<std::string> lines{format("vertex %d at (%.1f, %.1f)", vertex, v.x, v.y)};
    if (v.factor != 1.0f)
        lines.back() += format(", terrain x%g", static_cast<double>(v.factor));
    if (v.linkCount == 0)
        lines.push_back("no links");
    for (int i = 0; i < v.linkCount; ++i) {
        const Vertex& other = vertices[static_cast<std::size_t>(v.links[i].to)];
        const std::string link = format("%d (%.2f)", v.links[i].to, linkCost(v, other, v.links[i]));
        if (i % kLinksPerLine == 0)
            lines.push_back((i == 0 ? "links to " : "         ") + link);
        else
            lines.back() += ", " + link;
    }
    lines.push_back(trace == nullptr ? std::string("no search yet") : searchState(*trace, vertex));
    return lines;
}

Reference checkWithDijkstra(const std::vector<Vertex>& vertices, const SearchTrace& trace)
{
    Reference reference;
    const int count = static_cast<int>(vertices.size());
    if (trace.start < 0 || trace.goal < 0 || trace.start >= count || trace.goal >= count) {
        reference.cost = kNoRoute;
        return reference;
    }
    reference.cost = cheapestCost(vertices, trace.start, trace.goal, &reference.expanded, trace.givenCosts);
    return reference;
}

std::string countText(int count)
{
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0 && digits[at - 1] != '-'; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string admissibilityLine(Heuristic heuristic, const Admissibility& report)
{
    const std::string name = heuristicName(heuristic);
    if (report.over == 0)
        return name + " never overestimates here (" + countText(report.checked) + " vertices checked)";
    return name + " overestimates at " + countText(report.over) + " of " + countText(report.checked) +
           format(" vertices, by up to %.0f %%", report.worstPercent);
}

bool showsAdmissibility(const SearchTrace& trace)
{
    return usesHeuristic(trace.mode) &&
           (trace.heuristic != Heuristic::Euclidean || trace.mode == SearchMode::Weighted ||
            trace.mode == SearchMode::BiAStar);
}

std::vector<std::string> statsLines(const SearchTrace& trace, const Scene& map, const Reference& reference,
                                    const Admissibility* report)
{
    std::vector<std::string> lines{searchLine(trace, map), checkLine(trace, reference, map)};
    if (report != nullptr)
        lines.push_back(admissibilityLine(trace.heuristic, *report));
    return lines;
}
