#include "graph/predecessors.h"

#include <algorithm>

int cameFromOf(const Predecessors& table, int vertex)
{
    if (vertex < 0 || static_cast<std::size_t>(vertex) >= table.from.size())
        return -1;
    return table.from[static_cast<std::size_t>(vertex)];
}

void setCameFrom(Predecessors& table, int vertex, int from)
{
    const std::size_t at = static_cast<std::size_t>(vertex);
    if (at >= table.from.size()) {
        if (from < 0)
            return;
        table.from.resize(at + 1, -1);
    }
    int& entry = table.from[at];
    table.count += static_cast<std::size_t>(entry < 0 && from >= 0);
    table.count -= static_cast<std::size_t>(entry >= 0 && from < 0);
    entry = from < 0 ? -1 : from;
}

void setCameFromEach(Predecessors& table, const std::vector<int>& vertices, const std::vector<int>& from)
{
    if (table.from.size() < from.size())
        table.from.resize(from.size(), -1);
    for (int v : vertices) {
        const int predecessor = from[static_cast<std::size_t>(v)];
        if (predecessor < 0)
            continue;
        int& entry = table.from[static_cast<std::size_t>(v)];
        table.count += static_cast<std::size_t>(entry < 0);
        entry = predecessor;
    }
}

void clearPredecessors(Predecessors& table)
{
    if (table.count != 0)
        std::fill(table.from.begin(), table.from.end(), -1);
    table.count = 0;
}

bool noPredecessors(const Predecessors& table)
{
    return table.count == 0;
}

PredecessorEntries predecessorEntries(const Predecessors& table)
{
    PredecessorEntries entries;
    entries.reserve(table.count);
    for (std::size_t v = 0; v < table.from.size() && entries.size() < table.count; ++v)
        if (table.from[v] >= 0)
            entries.emplace_back(static_cast<int>(v), table.from[v]);
    return entries;
}

Predecessors predecessorTable(const PredecessorEntries& entries)
{
    Predecessors table;
    for (const auto& [vertex, from] : entries)
        setCameFrom(table, vertex, from);
    return table;
}

bool samePredecessors(const Predecessors& a, const Predecessors& b)
{
    if (a.count != b.count)
        return false;
    const std::size_t shared = std::min(a.from.size(), b.from.size());
    if (!std::equal(a.from.begin(), a.from.begin() + static_cast<std::ptrdiff_t>(shared), b.from.begin()))
        return false;
    // Past the shorter one's end the longer holds only -1, since the counts agree.
    return true;
}
