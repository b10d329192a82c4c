#include <vector>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"

constexpr int kSide = 40;
constexpr int kSpacing = 15;

void generateMaze()
{
    clearMap();
    for (int row = 0; row < kSide; ++row)
        for (int column = 0; column < kSide; ++column)
            addVertex(column * kSpacing, row * kSpacing);
    std::vector<char> visited(kSide * kSide, 0);
    std::vector<int> path{0};
    visited[0] = 1;
    while (!path.empty()) {
        const int cell = path.back();
        const int row = cell / kSide;
        const int column = cell % kSide;
        int open[4];
        int count = 0;
        // Up, left, right, down: the order the random choice indexes.
        if (row > 0 && !visited[cell - kSide])
            open[count++] = cell - kSide;
        if (column > 0 && !visited[cell - 1])
            open[count++] = cell - 1;
        if (column + 1 < kSide && !visited[cell + 1])
            open[count++] = cell + 1;
        if (row + 1 < kSide && !visited[cell + kSide])
            open[count++] = cell + kSide;
        if (count == 0) {
            path.pop_back();
            continue;
        }
        const int next = open[randomNext() % count];
        toggleLink(cell, next);
        visited[next] = 1;
        path.push_back(next);
    }
    scene.startVertex = 0;
    scene.goalVertex = kSide * kSide - 1;
}
