#include "bench/lattice.h"

#include <map>
#include <utility>

#include "mapgen/mapgen.h"

static bool inLattice(int side, int row, int column)
{
    return row >= 0 && row < side && column >= 0 && column < side;
}

// Right, down-left, down, down-right: every neighbour pair is met once.
static void linkForward(int side, int row, int column)
{
    static const int steps[4][2] = {{0, 1}, {1, -1}, {1, 0}, {1, 1}};
    for (const auto& step : steps) {
        const int r = row + step[0];
        const int c = column + step[1];
        if (inLattice(side, r, c))
            toggleLink(row * side + column, r * side + c);
    }
}

// Built in the scene and moved out, so the million-vertex one never exists twice.
static std::vector<Vertex> buildLattice(int side)
{
    clearMap();
    scene.vertices.reserve(static_cast<std::size_t>(side) * side + 1);
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column)
            addVertex(column * kLatticeSpacing, row * kLatticeSpacing);
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column)
            linkForward(side, row, column);
    addVertex(side * kLatticeSpacing + 100, 500);
    std::vector<Vertex> lattice = std::move(scene.vertices);
    clearMap();
    return lattice;
}

const std::vector<Vertex>& fullLattice(int side)
{
    static std::map<int, std::vector<Vertex>> built;
    auto found = built.find(side);
    if (found == built.end())
        found = built.emplace(side, buildLattice(side)).first;
    return found->second;
}

const std::vector<Vertex>& fullLattice()
{
    return fullLattice(kLatticeSide);
}

int latticeFarCorner(int side)
{
    return side * side - 1;
}

int latticeIsolatedVertex(int side)
{
    return side * side;
}
