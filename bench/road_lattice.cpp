#include "bench/road_lattice.h"

#include <random>

constexpr float kSpacing = 10.0f;
constexpr int kJitter = 3;
constexpr int kArterialEvery = 16;
constexpr int kFastestEvery = 64;
constexpr unsigned kClosedOneIn = 8;

static float factorOf(int line)
{
    if (line % kFastestEvery == 0)
        return 1.0f;
    return line % kArterialEvery == 0 ? 1.25f : 1.6f;
}

static void join(std::vector<Vertex>& vertices, int a, int b, float factor)
{
    const float cost = vertexDistance(vertices[a], vertices[b]) * factor;
    vertices[a].links[vertices[a].linkCount++] = Link{b, cost};
    vertices[b].links[vertices[b].linkCount++] = Link{a, cost};
}

std::vector<Vertex> roadLattice(int side, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<Vertex> vertices(static_cast<std::size_t>(side) * side);
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            Vertex& v = vertices[static_cast<std::size_t>(row) * side + column];
            v.x = static_cast<float>(column) * kSpacing + static_cast<float>(static_cast<int>(rng() % (2 * kJitter + 1)) - kJitter);
            v.y = static_cast<float>(row) * kSpacing + static_cast<float>(static_cast<int>(rng() % (2 * kJitter + 1)) - kJitter);
        }
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            const int v = row * side + column;
            // Along the row, then down the column; a local street may be closed.
            if (column + 1 < side && (factorOf(row) < 1.6f || rng() % kClosedOneIn != 0))
                join(vertices, v, v + 1, factorOf(row));
            if (row + 1 < side && (factorOf(column) < 1.6f || rng() % kClosedOneIn != 0))
                join(vertices, v, v + side, factorOf(column));
        }
    return vertices;
}
