// The searches' waiting vertices as a binary heap that hands them out in
// exactly the order of a list stable-sorted by score before every expansion,
// where an improved vertex keeps its place and a new one is appended.
//
// Why a small key is enough: in that list, two vertices of equal score stand
// in the order of the expansion at which each last changed its score (earlier
// first); if both changed at the same expansion, in their order just before
// it (vertices already waiting first, new ones after in link order). So each
// vertex is keyed by (score, expansion of its last change, rank among the
// vertices changed at that expansion), and the rank is found by sorting those
// few vertices by the keys they held until then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/scene.h"

struct QueueEntry {
    double score; // a float where costs are derived
    int vertex;
    std::uint64_t order; // (expansion of the change + 1) * kOrderStride + rank
};

// A vertex whose score is set during an expansion, with its new score.
struct Rescore {
    int vertex;
    double score;
};

// What one expansion did to the waiting list: at most one entry per link.
struct ExpansionChanges {
    Rescore improved[kMaxLinks]; // already waiting, cost fell; in link order
    int improvedCount = 0;
    Rescore added[kMaxLinks];    // waiting from now on; in link order
    int addedCount = 0;
};

struct WaitingQueue {
    std::vector<QueueEntry> heap;      // may hold outdated entries, skipped when met
    std::vector<double> score;         // current key of every vertex
    std::vector<std::uint64_t> order;  // kNotWaiting once taken or never added
};

// Empties the queue for a graph of vertexCount vertices and lets start wait
// alone with the given score. When the count is unchanged it costs only what
// the last search left waiting, not the graph's size.
void queueStart(WaitingQueue& queue, std::size_t vertexCount, int start, double score);

// Removes and returns the vertex the sorted list would hold first; -1 when
// nothing waits. A taken vertex never comes back.
int queueTake(WaitingQueue& queue);

// Applies one expansion's changes; expansion counts from 0. An improved
// vertex whose new score equals its old one keeps its place.
void queueApply(WaitingQueue& queue, int expansion, const ExpansionChanges& changes);
