// The predecessor table a search leaves: for each vertex, the vertex the
// search reached it from. A flat table indexed by vertex, so a search that
// reaches a million vertices writes a million ints, not a million tree nodes.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

struct Predecessors {
    std::vector<int> from; // from[v]: v's predecessor, -1 for none; none past the end either
    std::size_t count = 0; // entries other than -1
};

// A table's entries as (vertex, predecessor) pairs in ascending vertex order:
// what the history keeps, and what tests compare.
using PredecessorEntries = std::vector<std::pair<int, int>>;

// The predecessor of vertex; -1 when it has none, vertex negative or past
// the table included.
int cameFromOf(const Predecessors& table, int vertex);

// Makes from the predecessor of vertex (vertex >= 0); from == -1 removes the
// entry. Grows the table as needed, so it may throw std::bad_alloc.
void setCameFrom(Predecessors& table, int vertex, int from);

// Writes from[v] as the predecessor of every v in vertices whose from[v] is
// not -1 (from covers every vertex listed): a search's writes in one go.
void setCameFromEach(Predecessors& table, const std::vector<int>& vertices, const std::vector<int>& from);

// Removes every entry, keeping the table's memory; takes the table's length.
void clearPredecessors(Predecessors& table);

// True when the table holds no entry at all.
bool noPredecessors(const Predecessors& table);

// The entries in ascending vertex order, and the table holding exactly the
// given entries (a vertex listed twice keeps its last).
PredecessorEntries predecessorEntries(const Predecessors& table);
Predecessors predecessorTable(const PredecessorEntries& entries);

// True when both hold the same entries, whatever their lengths.
bool samePredecessors(const Predecessors& a, const Predecessors& b);
