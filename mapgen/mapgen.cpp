#include "mapgen/mapgen.h"

#include "mapgen/random.h"
#include "graph/scene.h"

constexpr int kRandomWidth = 800;
constexpr int kRandomHeight = 600;
constexpr int kRandomMinVertices = 30;
constexpr int kRandomVertexSpread = 30;
constexpr int kRandomLinkLimit = 15; // one below capacity, so a toggle always fits
constexpr int kGridSide = 40;
constexpr int kGridSpacing = 15;

void clearMap()
{
    vertices.clear();
    ++verticesRevision;
    startVertex = -1;
    goalVertex = -1;
    markedVertex = -1;
    cameFrom.clear();
}

void generateRandomMap()
{
    clearMap();
    const int count = randomNext() % kRandomVertexSpread + kRandomMinVertices;
    vertices.resize(count);
    for (Vertex& vertex : vertices) {
        vertex.x = static_cast<float>(randomNext() % kRandomWidth);
        vertex.y = static_cast<float>(randomNext() % kRandomHeight);
    }
    for (int attempt = 0; attempt < count; ++attempt) {
        const int a = randomNext() % count;
        const int b = randomNext() % count;
        if (vertices[a].linkCount < kRandomLinkLimit && vertices[b].linkCount < kRandomLinkLimit)
            toggleLink(a, b);
    }
    ++verticesRevision; // positions were written in place
}

static bool inGrid(int cell)
{
    return cell >= 0 && cell < kGridSide;
}

// Candidates up, up-right, right, down, down-right; vertical pairs are met
// from both ends, so each of them is toggled twice at most.
static void linkGridNeighbours(int row, int column)
{
    for (int j = 0; j < 9; ++j) {
        const int dx = j % 3 - 1;
        const int dy = j / 3 - 1;
        const int nc = column + dx;
        const int nr = row + dy;
        if (j == 4 || dx < 0 || !inGrid(nc) || !inGrid(nr))
            continue;
        if (randomNext() % 3 != 0)
            toggleLink(row * kGridSide + column, nr * kGridSide + nc);
    }
}

void generateGridMap()
{
    clearMap();
    vertices.resize(kGridSide * kGridSide);
    for (int row = 0; row < kGridSide; ++row) {
        for (int column = 0; column < kGridSide; ++column) {
            Vertex& vertex = vertices[row * kGridSide + column];
            vertex.x = static_cast<float>(column * kGridSpacing);
            vertex.y = static_cast<float>(row * kGridSpacing);
        }
    }
    for (int row = 0; row < kGridSide; ++row)
        for (int column = 0; column < kGridSide; ++column)
            linkGridNeighbours(row, column);
    ++verticesRevision; // positions were written in place
}
