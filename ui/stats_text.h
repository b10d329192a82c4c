// The words of the search view: the stats lines, the optimality check and the
// inspect panel, built from a trace and plain numbers so they can be tested.
#pragma once

#include <string>
#include <vector>

#include "graph/scene.h"
#include "route/admissibility.h"
#include "route/search.h"

// What an independent Dijkstra run found for the same start and goal:
// cost kNoRoute when the goal is unreachable.
struct Reference {
    double cost = 0.0;
    int expanded = 0;
};

// The cost the trace reached the goal with (its g); kNoRoute when it found none.
double foundCost(const SearchTrace& trace);

// Links on the trace's route to the goal; 0 when none was found.
int routeHops(const SearchTrace& trace);

// True when two costs of a route of hops links agree to single precision:
// within the rounding a float sum of that many terms can pick up. Two
// infinities agree.
bool costsAgree(double cost, double cheapest, int hops);

// A cost in map's own unit: "33.83 cells" for a grid map (cellSize set, the
// cost divided by it), else "2416.3 m" for a map with metresPerUnit, else
// "612.42" in the coordinates' unit. A map whose costs count its own unit
// (costUnit) gives "1234 s", "1234.5 m", or the file's number as it is.
std::string costText(double cost, const Scene& map);

// A cost as the shortest decimal that reads back as the same double: an
// integer sum prints as that integer, "123456789".
std::string exactCostText(double cost);

// The search's name as the stats line opens: "A*", "A* (Manhattan)" for a
// heuristic other than Euclidean, "weighted A* (w 2, Euclidean)".
std::string searchTitle(const SearchTrace& trace);

// "A*: cost 612.42, 41 hops, expanded 213 / 1600 vertices, 0.08 ms", the
// cost as costText gives it, or "A*: no route from 3 to 7, expanded 20 /
// 1600 vertices, 0.01 ms". map is the map searched.
std::string searchLine(const SearchTrace& trace, const Scene& map);

// "Dijkstra check: cost 612.42, expanded 1400 - cheapest: yes", or ": no,
// 3.8% dearer", or that neither found a route; the cost as costText gives it.
// Weighted A* is held to its bound instead: "... - cost <= 2 x cheapest: yes".
std::string checkLine(const SearchTrace& trace, const Reference& reference, const Scene& map);

// "A*: no search yet - ALT+click a start, SHIFT+click a goal".
std::string noSearchLine(SearchMode mode);

// "replay: step 45 / 213, 64 expansions/s, paused".
std::string replayLine(int step, int total, double speed, bool playing);

// What is known of vertex (a valid index): index, position, links with their
// costs (times the mean of their ends' factors, with the vertex's own factor
// where it is not 1), and from trace (null when no search applies) its g, h, f and when it
// was expanded, or that it was never reached.
std::vector<std::string> inspectLines(const std::vector<Vertex>& vertices, int vertex, const SearchTrace* trace);

// Runs the independent Dijkstra for trace's start and goal over vertices
// (the graph trace was searched on); a trace with no start gives kNoRoute.
Reference checkWithDijkstra(const std::vector<Vertex>& vertices, const SearchTrace& trace);

// 1600 as "1,600".
std::string countText(int count);

// "Manhattan overestimates at 312 of 1,600 vertices, by up to 41 %", or
// "Euclidean never overestimates here (1,600 vertices checked)".
std::string admissibilityLine(Heuristic heuristic, const Admissibility& report);

// True when the stats panel reports on the heuristic: an estimate steers the
// search and it is not the default A*, Dijkstra or greedy with the straight
// line (whose panel stays as it always was).
bool showsAdmissibility(const SearchTrace& trace);

// The stats panel's lines for a trace of map and its check: searchLine,
// checkLine, and admissibilityLine when report is given.
std::vector<std::string> statsLines(const SearchTrace& trace, const Scene& map, const Reference& reference,
                                    const Admissibility* report = nullptr);
