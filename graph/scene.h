// The scene: every vertex with its links, the last search's predecessor
// table and the three selections. Process-wide; one thread touches it.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

constexpr int kMaxLinks = 16;

struct Link {
    int to = 0;        // index of the vertex the link leads to
    float cost = 0.0f; // length of the link, fixed when it is made
};

// Every field starts at zero, so a new vertex is all-zero however it is made.
struct Vertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    Link links[kMaxLinks] = {};
    int linkCount = 0; // valid entries at the front of links
};

extern std::vector<Vertex> vertices;
extern std::map<int, int> cameFrom; // vertex -> vertex the last search reached it from
extern int startVertex;             // -1 when unset
extern int goalVertex;              // -1 when unset
extern int markedVertex;            // -1 when unset

// Grows whenever vertices or links change (never for selections or routes),
// so a drawing can keep what it rasterised until the graph itself changes.
extern std::uint64_t verticesRevision;

// Straight-line distance over x, y and z, rounded to float after every step.
float vertexDistance(const Vertex& a, const Vertex& b);

// The link of from that leads to target; nullptr when there is none.
const Link* findLink(const Vertex& from, int target);

// Appends a vertex at pixel (x, y) with no links; never merges with an existing one.
void addVertex(int x, int y);

// Links a and b in both tables, or unlinks them if they are linked.
// Adding is refused, leaving both tables untouched, when either end is full;
// a == b changes nothing.
void toggleLink(int a, int b);

// toggleLink's rule applied to any vertex list, for readers building a map
// before it becomes the scene; verticesRevision is left alone. True when a
// link was added or removed.
bool toggleLinkIn(std::vector<Vertex>& graph, int a, int b);

// Index of the vertex closest to pixel (x, y) in the plane; the lowest index
// wins a tie; -1 on an empty graph.
int nearestVertex(int x, int y);

// True when links are symmetric with equal costs, free of self-links and
// duplicates, at most kMaxLinks a vertex, and every index held anywhere in the
// scene is valid.
bool sceneIsConsistent();

// The same rules for any vertex list and its selections (each -1 or an index).
bool graphIsConsistent(const std::vector<Vertex>& graph, int start, int goal, int marked);
