#include "bench/big_lattice.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/route.h"

static int bigIndex(int row, int column)
{
    return row * kBigLatticeSide + column;
}

// Right, down-left, down, down-right: every neighbour pair is met once.
static void linkForward(int row, int column)
{
    static const int steps[4][2] = {{0, 1}, {1, -1}, {1, 0}, {1, 1}};
    for (const auto& step : steps) {
        const int r = row + step[0];
        const int c = column + step[1];
        if (r < kBigLatticeSide && c >= 0 && c < kBigLatticeSide)
            toggleLink(bigIndex(row, column), bigIndex(r, c));
    }
}

static Scene buildBigLattice()
{
    Scene positions;
    positions.vertices.resize(static_cast<std::size_t>(kBigLatticeSide) * kBigLatticeSide);
    for (int row = 0; row < kBigLatticeSide; ++row)
        for (int column = 0; column < kBigLatticeSide; ++column) {
            Vertex& vertex = positions.vertices[static_cast<std::size_t>(bigIndex(row, column))];
            vertex.x = static_cast<float>(column) * kBigLatticeSpacing;
            vertex.y = static_cast<float>(row) * kBigLatticeSpacing;
        }
    replaceScene(std::move(positions));
    for (int row = 0; row < kBigLatticeSide; ++row)
        for (int column = 0; column < kBigLatticeSide; ++column)
            linkForward(row, column);
    scene.startVertex = 0;
    scene.goalVertex = bigIndex(kBigLatticeSide - 1, kBigLatticeSide - 1);
    updateRoute();
    if (noPredecessors(scene.cameFrom)) {
        std::fprintf(stderr, "vialoom_bench: no route across the big lattice\n");
        std::exit(EXIT_FAILURE);
    }
    return scene;
}

void loadBigLattice()
{
    static const Scene lattice = buildBigLattice();
    replaceScene(lattice);
}
