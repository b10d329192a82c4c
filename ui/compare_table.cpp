#include "ui/compare_table.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "route/dijkstra.h"
#include "route/hierarchy_cache.h"
#include "route/prepared.h"
#include "route/route_walk.h"
#include "route/search_names.h"
#include "route/weighted.h"
#include "ui/search_steps.h"
#include "ui/stats_text.h"

constexpr int kColumns = 8;

static const char* judge(const CompareRow& row)
{
    if (costsAgree(row.cost, row.reference, row.hops))
        return "yes";
    if (row.mode == SearchMode::Weighted && withinBound(row.cost, row.reference, row.weight, row.hops))
        return "bound";
    return "no";
}

std::vector<CompareRow> compareSearches(const std::vector<Vertex>& vertices, int start, int goal,
                                        const SearchChoice& choice)
{
    const CostModel costs = costModelOf(vertices);
    const double reference = cheapestCost(vertices, start, goal, nullptr, costs.given);
    std::vector<CompareRow> rows;
    PreparedGraph own;
    PreparedGraph& prepared = preparationFor(vertices, own);
    for (SearchMode mode : kSearchModes) {
        std::string why;
        if (!prepareSearch(prepared, vertices, mode, why)) {
            CompareRow row;
            row.mode = mode;
            row.heuristic = choice.heuristic;
            row.weight = choice.weight;
            row.cost = kNoRoute;
            row.reference = reference;
            row.cheapest = "n/a";
            row.usable = false;
            rows.push_back(row);
            continue;
        }
        if (mode == SearchMode::Ch && !hierarchyReadyFor(vertices, graphRevision()))
            continue;
        SearchTrace trace;
        // Timed the second time: the first pays for the tables' memory, which
        // would make whichever search ran first look slow.
        for (int run = 0; run < 2; ++run) {
            Predecessors cameFrom;
            searchRouteWith(cameFrom, vertices, start, goal, SearchChoice{mode, choice.heuristic, choice.weight},
                            &trace, costs, &prepared);
        }
        CompareRow row;
        row.mode = mode;
        row.heuristic = choice.heuristic;
        row.weight = choice.weight;
        row.found = trace.found;
        row.cost = foundCost(trace);
        row.hops = routeHops(trace);
        row.expanded = stepCount(trace);
        row.milliseconds = trace.seconds * 1000.0;
        row.reference = reference;
        row.cheapest = judge(row);
        rows.push_back(row);
    }
    return rows;
}

static std::string heuristicOf(const CompareRow& row)
{
    return usesHeuristic(row.mode) ? heuristicKey(row.heuristic) : "none";
}

static std::string number(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string compareCsv(const std::vector<CompareRow>& rows)
{
    std::string text = "algorithm,heuristic,found,cost,hops,expanded,milliseconds,cheapest\n";
    for (const CompareRow& row : rows) {
        text += std::string(searchModeKey(row.mode)) + ',' + heuristicOf(row) + ',' + (row.usable ? (row.found ? "yes" : "no") : "n/a") +
                ',' + (row.found ? number("%.9g", row.cost) : "") + ',' + std::to_string(row.hops) + ',' +
                std::to_string(row.expanded) + ',' + number("%.3f", row.milliseconds) + ',' + row.cheapest + '\n';
    }
    return text;
}

std::vector<std::string> compareLines(const std::vector<CompareRow>& rows, const Scene& map)
{
    std::vector<std::vector<std::string>> cells{
        {"algorithm", "heuristic", "found", "cost", "hops", "expanded", "time", "cheapest"}};
    for (const CompareRow& row : rows) {
        std::string name = searchModeKey(row.mode);
        if (row.mode == SearchMode::Weighted)
            name += number(" (w %g)", row.weight);
        cells.push_back({name, heuristicOf(row), row.usable ? (row.found ? "yes" : "no") : "n/a",
                         row.found ? costText(row.cost, map) : "-", std::to_string(row.hops),
                         std::to_string(row.expanded), number("%.3f ms", row.milliseconds), row.cheapest});
    }
    std::size_t widths[kColumns] = {};
    for (const auto& line : cells)
        for (int c = 0; c < kColumns; ++c)
            widths[c] = std::max(widths[c], line[c].size());
    std::vector<std::string> lines;
    for (const auto& line : cells) {
        std::string text;
        for (int c = 0; c < kColumns; ++c) {
            // Words left, numbers right.
            const std::string pad(widths[c] - line[c].size(), ' ');
            const bool right = c >= 3 && c <= 6;
            text += (c == 0 ? "" : "  ") + (right ? pad + line[c] : line[c] + (c + 1 < kColumns ? pad : ""));
        }
        lines.push_back(text);
    }
    return lines;
}

std::string compareTable(const std::vector<CompareRow>& rows, const Scene& map)
{
    std::string text;
    for (const std::string& line : compareLines(rows, map))
        text += line + '\n';
    return text;
}
