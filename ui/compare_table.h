// Every search run between the same two vertices with the same heuristic and
// weight, side by side: the b key's table and the compare command's output.
#pragma once

#include <string>
#include <vector>

#include "graph/scene.h"
#include "route/search.h"

struct CompareRow {
    SearchMode mode = SearchMode::AStar;
    Heuristic heuristic = Heuristic::Euclidean;
    float weight = kDefaultWeight;
    bool found = false;
    double cost = 0.0;       // the route's cost; kNoRoute when none was found
    int hops = 0;
    int expanded = 0;        // expansions, both halves' for a bidirectional search
    double milliseconds = 0.0;
    double reference = 0.0;  // the independent Dijkstra's cost; kNoRoute when there is no route
    const char* cheapest = "no"; // "yes"; for weighted A* "bound" when dearer but within w x cheapest; else "no"
    bool usable = true;          // false when the mode cannot search the map (Jump Point Search off a grid)
};

// One row for every mode in kSearchModes' order, each with choice's heuristic
// and weight, between start and goal (valid indices) of vertices. Each search
// runs twice and the second run is timed; what a search prepares (the
// scene's own when vertices are the scene's) is made before, untimed. A mode
// that cannot search the graph gives a row not found, cheapest "n/a".
// Contraction hierarchies get a row only when the kept hierarchy is for
// vertices at graphRevision(), so a hierarchy still building is never
// reported as a search that found nothing.
std::vector<CompareRow> compareSearches(const std::vector<Vertex>& vertices, int start, int goal,
                                        const SearchChoice& choice);

// The rows under the header "algorithm,heuristic,found,cost,hops,expanded,
// milliseconds,cheapest": the modes' short names, the heuristic's ("none"
// where a mode uses none), yes, no or n/a (a mode that cannot search the map), the cost as %.9g in the map's
// coordinates (empty when not found), milliseconds as %.3f.
std::string compareCsv(const std::vector<CompareRow>& rows);

// The same as a table with aligned columns, the cost as costText gives it
// ("-" when not found), one line per row after a header line; no line end on
// the lines (the panel draws them), each followed by one in compareTable.
std::vector<std::string> compareLines(const std::vector<CompareRow>& rows, const Scene& map);
std::string compareTable(const std::vector<CompareRow>& rows, const Scene& map);
