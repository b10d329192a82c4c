// Contraction hierarchies: an exact cheapest-route search that pays for its
// speed once, by preprocessing a CostGraph, and then answers each query by
// two small searches that only ever climb.
//
// Preprocessing contracts the vertices one by one, lowest priority first.
// Contracting v removes it from the remaining graph; for every pair of arcs
// u -> v -> w left, a shortcut u -> w of cost c(u, v) + c(v, w) is added
// unless a witness, a route u ... w avoiding v and costing no more, is found
// by a bounded Dijkstra over the remaining graph. A witness search that hits
// its bound simply finds no witness, so the bound only ever adds shortcuts:
// the remaining graph keeps every cheapest cost between its vertices.
// Shortcuts live in the hierarchy, beside copies of the graph's own arcs,
// each with the vertex it passes (its middle), so a route unpacks to the
// graph's vertices; the graph and the map it came from never change.
//
// Priority, lowest first: 8 times the edge difference (shortcuts the
// contraction would add minus arcs it removes) plus the number of
// neighbours already contracted plus the vertex's level (1 + the highest
// level among its contracted neighbours); the last two spread contractions
// evenly over the map and keep the hierarchy shallow. Priorities are updated
// lazily (recomputed when a vertex reaches the top; put back when it no
// longer ranks first) and for the neighbours of every contracted vertex.
//
// The invariant the query relies on: for every start and goal joined by a
// route, some cheapest route, shortcuts included, climbs to its highest
// vertex and then only descends (it is up-down), and costs what the
// cheapest route costs. It holds because contracting v keeps every cheapest
// cost among the vertices above it, so the lowest vertex of any cheapest
// route can be bridged by its shortcut or its witness.
//
// Query: Dijkstra upward from the start over arcs to higher vertices and
// upward from the goal over reversed arcs to higher vertices. mu is the
// cheapest sum of both halves' costs seen at a vertex both reached. A half
// stops once its lowest key reaches mu: whatever it has not taken costs at
// least mu from its end, so no route cheaper than mu peaks there. Stall-on-demand skips
// relaxing a vertex v that a higher, already reached vertex w reaches more
// cheaply over an arc w -> v (strictly cheaper: then v's cost is not the
// cheapest, and no cheapest up path passes it at that cost).
//
// Costs: arcs of +infinity are left out (nothing is reached over them), the
// cheapest of parallel arcs is kept, loops are dropped. Costs are summed in
// double. The cost reported is the unpacked route's arcs summed from the
// start forwards, exactly as costGraphRouteCost sums them; it equals the
// query's own sum (and a double Dijkstra's) bit for bit whenever the double
// sums are exact (integer costs below 2^53, or float costs within 2^29 of
// each other), and to within double's rounding otherwise.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "route/cost_graph.h"

// Bytes preprocessing may use by default (its estimate, not the system's count).
constexpr std::size_t kHierarchyMemoryLimit = std::size_t(1536) << 20;

enum class HierarchyStatus {
    Built,     // the hierarchy is complete
    Cancelled, // the cancel flag was raised
    TooLarge,  // the memory estimate passed the limit, or memory ran out
};

// Arcs of one direction, grouped by the vertex they are kept at.
struct HierarchyArcs {
    std::vector<int> first;     // vertex v's arcs are first[v] .. first[v + 1] - 1
    std::vector<int> head;      // the other end, always ranked above v
    std::vector<int> middle;    // the vertex a shortcut passes; -1 for a graph arc
    std::vector<double> cost;
};

struct Hierarchy {
    int vertexCount = 0;
    std::vector<int> rank; // contraction order: 0 contracted first
    HierarchyArcs up;      // arcs v -> head
    HierarchyArcs down;    // arcs head -> v, kept at v
    long long shortcuts = 0;
};

struct HierarchyOptions {
    // Called now and then with the fraction of vertices contracted, 0 to 1.
    void (*progress)(double fraction, void* context) = nullptr;
    void* context = nullptr;
    const std::atomic<bool>* cancel = nullptr; // checked before every contraction
    std::size_t memoryLimit = kHierarchyMemoryLimit;
    int witnessSettleLimit = 500; // vertices one witness search may take
};

// Preprocesses graph into hierarchy. Built: hierarchy is complete. Otherwise
// hierarchy is left empty and why says in one line what stopped it (never
// throws, std::bad_alloc included).
HierarchyStatus buildHierarchy(const CostGraph& graph, Hierarchy& hierarchy, const HierarchyOptions& options,
                               std::string& why);

// Bytes buildHierarchy estimates it needs for graph at the start (it grows
// with the shortcuts; the limit is checked against the running estimate).
std::size_t hierarchyMemoryEstimate(const CostGraph& graph);

// Scratch of the query, sized on first use, kept between queries so a query
// costs what it touches. One per thread.
struct HierarchyWork {
    std::vector<double> cost[2];     // per side: cheapest cost found; +infinity unreached
    std::vector<int> parent[2];      // per side: the vertex reached from; -1
    std::vector<int> parentArc[2];   // per side: index of that arc in up (side 0) or down (side 1)
    std::vector<int> touched;        // vertices whose entries are set
    std::vector<std::pair<double, int>> heap[2];
    bool record = false;             // fill the lists below
    std::vector<int> takenVertex;    // vertices taken, both sides, in order
    std::vector<signed char> takenSide;
    std::vector<int> reachedVertex;  // first reach per side, in order, with the take count then
    std::vector<signed char> reachedSide;
    std::vector<int> reachedStep;
};

struct HierarchyRoute {
    bool found = false;
    std::vector<int> route; // the graph's vertices from start to goal, none twice
    std::vector<double> steps; // the cost of each arc along route, in order
    double cost = 0.0;      // route's arcs summed in double from the start; +infinity when not found
    double searchCost = 0.0; // the query's own sum through the meeting vertex
    int meeting = -1;       // highest vertex of the route: where the halves met
};

// Cheapest route from start to goal (valid vertices, possibly equal) in the
// graph hierarchy was built from. Not found when no route of finite cost exists.
HierarchyRoute hierarchyQuery(const Hierarchy& hierarchy, HierarchyWork& work, int start, int goal);
