// The A* family (A*, Dijkstra, greedy, weighted A*) on derived costs when no
// trace is wanted: the searches every command and every click run, kept to
// one small record per vertex.
//
// The order it takes vertices in is the waiting list's (route/waiting_queue.h),
// with one change of key: instead of (expansion, rank) a vertex is keyed by
// the number of the push that last gave it its score. Pushes happen in
// exactly the order of (expansion, rank), improved vertices before new ones,
// so the two keys order alike, and one 64-bit word (score, push) compares
// what three fields did. That holds while pushes fit in 32 bits: at most one
// per link and one for the start, so on graphs under kMaxUntracedVertices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "graph/predecessors.h"
#include "graph/scene.h"
#include "route/search.h"

constexpr std::size_t kMaxUntracedVertices =
    static_cast<std::size_t>((std::uint64_t{1} << 32) / (kMaxLinks + 1) - 1); // 252 M: fits any size_t

// True when untracedSearch can run choice on a graph of vertexCount vertices
// with costs: an A*-family mode, derived costs, and a graph small enough.
bool untracedSearchFits(const SearchChoice& choice, const CostModel& costs, std::size_t vertexCount);

// Searches from start to goal (valid indices, possibly equal) as searchRoute
// does without a trace: the same result and the same writes into cameFrom,
// in the same tie order. Only where untracedSearchFits. Kept tables make a
// short search on a large graph cost what it touches; should memory run out,
// std::bad_alloc passes on and the next search starts them afresh.
bool untracedSearch(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                    const SearchChoice& choice);
bool untracedSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                    const SearchChoice& choice);
