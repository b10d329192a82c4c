// The searches the user can choose between, and the trace a search leaves
// for the search view: what it expanded, what still waited, and when.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "graph/costs.h"
#include "graph/scene.h"
#include "route/heuristic.h"

enum class SearchMode {
    AStar,      // cost so far plus the heuristic's estimate to the goal (the default)
    Dijkstra,   // cost so far only
    Greedy,     // the estimate to the goal only: fast, not always cheapest
    Weighted,   // cost so far plus weight times the estimate: at most weight times the cheapest
    BiDijkstra, // Dijkstra from both ends at once (route/bidirectional.h)
    BiAStar,    // A* from both ends with the average of both estimates as potential
    Bfs,        // fewest links, costs ignored (route/breadth_first.h)
    Jps,        // Jump Point Search, on a uniform grid only (route/jump_points.h)
    Alt,        // A* with landmark bounds (route/landmarks.h), costs summed in double
    Ch,         // contraction hierarchies: exact, once the graph is preprocessed (route/contraction.h)
};

constexpr float kDefaultWeight = 2.0f;

// Everything that picks a search: the algorithm, the estimate A*, weighted
// A*, greedy and bidirectional A* go by, and weighted A*'s weight.
struct SearchChoice {
    SearchMode mode = SearchMode::AStar;
    Heuristic heuristic = Heuristic::Euclidean;
    float weight = kDefaultWeight;
};

// What one search did. Per-vertex tables have one entry per vertex of the
// graph searched; "step k" is the moment after k expansions. The vertices
// waiting at step k are those with 0 <= reachedAt <= k whose expandedAt is
// -1 or at least k.
// The goal, once taken, ends the search: it is never listed as expanded.
struct SearchTrace {
    SearchMode mode = SearchMode::AStar;
    Heuristic heuristic = Heuristic::Euclidean;
    float weight = kDefaultWeight;
    int start = -1;
    int goal = -1;
    bool found = false;
    std::vector<int> expanded;   // vertices in the order they were expanded
    std::vector<int> reachedAt;  // step at which each first waited (start: 0); -1 never reached
    std::vector<int> expandedAt; // position of each in expanded; -1 never expanded
    std::vector<int> parent;     // predecessor this search left; -1 for the start and the unreached
    bool givenCosts = false;     // the graph's costs were given: sums in double, else floats held in doubles
    double costScale = 1.0;      // CostModel::scale the estimates were multiplied by where costs are given
    std::vector<double> g;       // best cost from the start this search found; +infinity where never reached
    std::vector<double> h;       // the heuristic's estimate to the goal (times costScale where costs are
                                 // given), in every mode; +infinity where never reached
    // Bidirectional searches only (empty, -1 otherwise): the backward half's
    // cost to the goal, 1 where the backward half reached a vertex first, and
    // the vertex where the cheapest route found passes from one half to the
    // other. Their expanded list holds both halves' expansions in the order
    // taken (a vertex may appear twice), expandedSide which half took each
    // (1 backward); g and parent along the found route are the route's, so
    // the route reads back as any other.
    std::vector<double> gBack;
    std::vector<signed char> side;
    std::vector<signed char> expandedSide;
    int meeting = -1;
    // Searches whose parents skip vertices (Jump Point Search: a jump point's
    // parent is the jump point it was reached from): the route found, every
    // vertex on it, goal first; empty otherwise.
    std::vector<int> route;
    double seconds = 0.0;        // wall time of the search itself
    std::uint64_t generation = 0; // which search this was: every search run gets a new, larger one
};

// The mode the route follows; starts as A*. The heuristic and weight it
// follows; start as Euclidean and kDefaultWeight.
extern SearchMode searchMode;
extern Heuristic searchHeuristic;
extern float searchWeight;
// The trace of the search updateRoute ran last; empty tables before any.
extern SearchTrace lastSearch;

// Runs the chosen search from start to goal (valid indices, possibly equal)
// under costs (costModelOf the same vertices; the default, derived costs, is
// right for every graph without given costs) and, when trace is given, fills
// it. True when the goal is taken. Writes the predecessor of every vertex it improves into cameFrom, nothing else. For
// AStar the result and every cameFrom write are exactly aStarSearch's. Takes
// n log n time on n vertices; graph coordinates must be finite. Should memory
// run out, std::bad_alloc passes on, cameFrom half written, the trace empty
// as before any search but with a new generation, and the next search
// starts as if it were the first.
bool searchRoute(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal, SearchMode mode,
                 SearchTrace* trace, const CostModel& costs = CostModel{});

// searchRoute with the whole choice given; searchRoute takes the heuristic
// and weight from searchHeuristic and searchWeight. The new modes (weighted,
// bidirectional, breadth-first) write only the final predecessors too.
// Jump Point Search and ALT search what prepared holds about vertices
// (route/prepared.h), made when first needed; without one, the scene's own
// when vertices are the scene's, else one made for this search alone. On a
// graph their mode cannot search (searchUsable) they find nothing, the trace
// as after a search that took nothing, and write nothing into cameFrom.
struct PreparedGraph;
bool searchRouteWith(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                     const SearchChoice& choice, SearchTrace* trace, const CostModel& costs = CostModel{},
                     PreparedGraph* prepared = nullptr);

// The same two writing into an ordered map, entry for entry the flat
// table's: the form the plain list search of the tests keeps.
bool searchRoute(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                 SearchMode mode, SearchTrace* trace, const CostModel& costs = CostModel{});
bool searchRouteWith(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                     const SearchChoice& choice, SearchTrace* trace, const CostModel& costs = CostModel{},
                     PreparedGraph* prepared = nullptr);

// Empties trace, as before any search, under a new generation, so nothing
// drawn from what it held is kept.
void clearTrace(SearchTrace& trace);

// The score a waiting vertex is ranked by in mode, from its cost so far g
// and its distance h to the goal: g + h, g, h, or g + weight * h
// (bidirectional A* g + h, the others g), in float (g and h are floats
// then), or in double where costs are given.
//
// With given costs, h is the estimate times CostModel::scale, so an
// estimate that never exceeds the straight distance never exceeds the cost
// of the links left to the goal, and sums of given costs are exact in double
// as long as integer costs are (below 2^53).
//
// Why float scores stay sound at any scale: h is distanceEstimate, never
// +infinity and above the true distance by float rounding at most, the same
// rounding a link's own length gets. g sums links in float from the start
// forwards; a finite link is at most 2^64 long (vertexDistance), and a float
// sum of such links stops growing below 2^90 (a link under half an ulp is
// absorbed). So on a graph whose links are finite, every map a reader
// accepts, g, g + h and every score are finite (g + h rounds to FLT_MAX at
// most): no scores tie by overflow, and equal scores tie exactly as the
// list search of tests/reference_search.cpp, which scores the same way, ties
// them. A vertex whose h stops at FLT_MAX lies farther than any route
// reaches, so it never outranks a reachable goal. Past a link of +infinity
// (one toggleLink made between vertices too far apart) g is +infinity, and
// such vertices tie there in the list's order.
double searchScore(SearchMode mode, double g, double h, bool given, float weight = kDefaultWeight);

// What the trace's search adds for link (held by from, leading to to): its
// cost, or linkCost where costs are given.
double traceLinkCost(const SearchTrace& trace, const Vertex& from, const Vertex& to, const Link& link);

// The trace's heuristic from vertex to target, times costScale where costs are given.
double traceEstimate(const SearchTrace& trace, const Vertex& vertex, const Vertex& target);
// Name shown to the user: "A*", "Dijkstra", "greedy best-first", "weighted
// A*", "bidirectional Dijkstra", "bidirectional A*", "breadth-first", "Jump
// Point Search", "ALT (landmarks)", "contraction hierarchies".
const char* searchModeName(SearchMode mode);
