// The scene: every vertex with its links, the last search's predecessor
// table, the three selections and the map's scale (metres, or grid cells). A
// map read from a file and the scene the program edits are this one type; the
// program edits one process-wide instance, touched by one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/predecessors.h"

constexpr int kMaxLinks = 16;

struct Link {
    int to = 0;        // index of the vertex the link leads to
    float cost = 0.0f; // the link's own cost: its length when made here, or the map's given cost
};

// A new vertex is the same bytes however it is made: zero but for its
// factor, plain ground.
struct Vertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    Link links[kMaxLinks] = {};
    int linkCount = 0;     // valid entries at the front of links
    float factor = 1.0f;   // terrain factor, positive and finite: a link costs its cost times its ends' mean
};

// What a map's own link costs count. Length: they are lengths on the screen
// (scaled to metres or cells as above); the others: the map's own numbers.
enum class CostUnit {
    Length,
    FileUnits, // a DIMACS graph's arc weights, in whatever unit the file has
    Metres,
    Seconds,
};

struct Scene {
    std::vector<Vertex> vertices;
    Predecessors cameFrom;       // vertex -> vertex the last search reached it from
    int startVertex = -1;        // -1 when unset
    int goalVertex = -1;         // -1 when unset
    int markedVertex = -1;       // -1 when unset
    double metresPerUnit = 0.0;  // metres per pixel for maps from geographic coordinates; 0 otherwise
    double cellSize = 0.0;       // pixels per cell side for maps from grids, whose unit is the cell; 0 otherwise
    CostUnit costUnit = CostUnit::Length; // what given link costs count
};

// The scene the program edits. Its vertices and links change only through
// the functions below, each of which moves graphRevision on; the selections
// and cameFrom are plain fields, set directly.
extern Scene scene;

// Grows with every change of the scene's vertices or links (never for
// selections or routes) and never goes back, so anything derived from the
// graph can be kept until the number moves.
std::uint64_t graphRevision();

// Straight-line distance over x, y and z, sqrt((dx*dx + dy*dy) + dz*dz) with
// every step rounded to float: the length a link gets. Where a square would
// underflow (a difference below 2^-63), the same steps are rounded as if float
// had no exponent limits, so scaling a map by a power of two scales every
// length exactly. +infinity when a step overflows float (a difference over
// 2^64 or so): readers refuse such a link, so a kept link is below 2^64.
float vertexDistance(const Vertex& a, const Vertex& b);

// What the searches estimate the distance to the goal by: vertexDistance
// where that is finite (so a link to the goal costs exactly its estimate);
// where it overflows, the same steps without exponent limits, and FLT_MAX
// for a distance beyond float. Never +infinity; above the true distance by
// float rounding at most.
float distanceEstimate(const Vertex& a, const Vertex& b);

// What nearest-vertex picks compare: dx * dx + dy * dy from (x, y) to vertex,
// rounded to float step by step, but without float's exponent limits where a
// square leaves its range (so far and near vertices do not all tie);
// +infinity when a coordinate of either is not finite.
double pickDistance(const Vertex& vertex, float x, float y);

// The link of from that leads to target; nullptr when there is none.
const Link* findLink(const Vertex& from, int target);

// Appends a vertex at pixel (x, y) with no links; never merges with an existing one.
void addVertex(int x, int y);
// The same at map position (x, y), which need not be whole.
void addVertexAt(float x, float y);

// Links a and b in both tables, or unlinks them if they are linked.
// Adding is refused, leaving both tables untouched, when either end is full;
// a == b changes nothing.
void toggleLink(int a, int b);

// toggleLink's rule applied to a vertex list being built (a map before it
// becomes the scene). True when a link was added or removed.
bool toggleLinkIn(std::vector<Vertex>& graph, int a, int b);

// Index of the vertex closest to pixel (x, y) in the plane, by pickDistance;
// the lowest index wins a tie; -1 on an empty graph. Found through the
// scene's grid, with the same distances a scan of every vertex compares.
int nearestVertex(int x, int y);
// The same for map position (x, y).
int nearestVertexAt(float x, float y);

// Makes next the scene, all of it: vertices, route table, selections, scale.
void replaceScene(Scene next);

// The history's moves, each exact: swaps the whole vertex list with list;
// swaps vertex index (a valid index) with record; moves the vertices from
// index keep on into tail (replacing what it held); appends tail's vertices
// and leaves it empty.
void swapVertexList(std::vector<Vertex>& list);
void swapVertexRecord(int index, Vertex& record);
void cutVerticesFrom(std::size_t keep, std::vector<Vertex>& tail);
void appendVertices(std::vector<Vertex>& tail);

// True when links are symmetric with equal costs, free of self-links and
// duplicates, at most kMaxLinks a vertex, and every index held anywhere in
// the scene (links, selections, cameFrom) is a vertex; cameFrom counts its
// entries right.
bool sceneIsConsistent(const Scene& checked);
