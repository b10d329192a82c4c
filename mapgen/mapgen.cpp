#include "mapgen/mapgen.h"

#include "graph/scene.h"
#include "mapgen/random.h"

constexpr int kRandomWidth = 800;
constexpr int kRandomHeight = 600;
constexpr int kRandomMinVertices = 30;
constexpr int kRandomVertexSpread = 30;
constexpr int kRandomLinkLimit = 15; // one below capacity, so a toggle always fits
constexpr int kGridSide = 40;
constexpr int kGridSpacing = 15;

void clearMap()
{
    replaceScene(Scene{});
}

void generateRandomMap()
{
    clearMap();
    const int count = randomNext() % kRandomVertexSpread + kRandomMinVertices;
    for (int i = 0; i < count; ++i) {
        const int x = randomNext() % kRandomWidth; // x is drawn before y
        const int y = randomNext() % kRandomHeight;
        addVertex(x, y);
    }
    for (int attempt = 0; attempt < count; ++attempt) {
        const int a = randomNext() % count;
        const int b = randomNext() % count;
        if (scene.vertices[a].linkCount < kRandomLinkLimit && scene.vertices[b].linkCount < kRandomLinkLimit)
            toggleLink(a, b);
    }
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
    for (int row = 0; row < kGridSide; ++row)
        for (int column = 0; column < kGridSide; ++column)
            addVertex(column * kGridSpacing, row * kGridSpacing);
    for (int row = 0; row < kGridSide; ++row)
        for (int column = 0; column < kGridSide; ++column)
            linkGridNeighbours(row, column);
}

bool pickRandomEnds()
{
    if (scene.vertices.empty())
        return false;
    const int count = static_cast<int>(scene.vertices.size());
    scene.startVertex = randomNext() % count;
    scene.goalVertex = randomNext() % count;
    return true;
}
