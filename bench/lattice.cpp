#include "bench/lattice.h"

#include "mapgen/mapgen.h"

static int latticeIndex(int row, int column)
{
    return row * kLatticeSide + column;
}

static bool inLattice(int row, int column)
{
    return row >= 0 && row < kLatticeSide && column >= 0 && column < kLatticeSide;
}

// Right, down-left, down, down-right: every neighbour pair is met once.
static void linkForward(int row, int column)
{
    static const int steps[4][2] = {{0, 1}, {1, -1}, {1, 0}, {1, 1}};
    for (const auto& step : steps) {
        const int r = row + step[0];
        const int c = column + step[1];
        if (inLattice(r, c))
            toggleLink(latticeIndex(row, column), latticeIndex(r, c));
    }
}

static std::vector<Vertex> buildLattice()
{
    clearMap();
    for (int row = 0; row < kLatticeSide; ++row)
        for (int column = 0; column < kLatticeSide; ++column)
            addVertex(column * kLatticeSpacing, row * kLatticeSpacing);
    for (int row = 0; row < kLatticeSide; ++row)
        for (int column = 0; column < kLatticeSide; ++column)
            linkForward(row, column);
    addVertex(700, 500);
    std::vector<Vertex> lattice = vertices;
    clearMap();
    return lattice;
}

const std::vector<Vertex>& fullLattice()
{
    static const std::vector<Vertex> lattice = buildLattice();
    return lattice;
}
