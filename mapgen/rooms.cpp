#include <algorithm>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"

constexpr int kSide = 40;
constexpr int kSpacing = 15;
constexpr int kRoom = 10;
constexpr int kRooms = kSide / kRoom;

// doorAcross[w][segment]: where the w-th vertical wall (between room columns
// w and w + 1) opens in room row segment; doorDown likewise for horizontal walls.
struct Doors {
    int across[kRooms - 1][kRooms];
    int down[kRooms - 1][kRooms];
};

// True when the link from (row, column) to (row + dy, column + dx) stays in
// its room or passes straight through a door.
static bool linkAllowed(const Doors& doors, int row, int column, int dx, int dy)
{
    const bool crossesColumn = (column + dx) / kRoom != column / kRoom;
    const bool crossesRow = (row + dy) / kRoom != row / kRoom;
    if (crossesColumn && crossesRow)
        return false;
    if (crossesColumn) {
        const int wall = std::min(column, column + dx) / kRoom;
        return dy == 0 && doors.across[wall][row / kRoom] == row % kRoom;
    }
    if (crossesRow) {
        const int wall = std::min(row, row + dy) / kRoom;
        return dx == 0 && doors.down[wall][column / kRoom] == column % kRoom;
    }
    return true;
}

void generateRooms()
{
    clearMap();
    Doors doors{};
    for (auto& wall : doors.across)
        for (int& door : wall)
            door = randomNext() % kRoom;
    for (auto& wall : doors.down)
        for (int& door : wall)
            door = randomNext() % kRoom;
    for (int row = 0; row < kSide; ++row)
        for (int column = 0; column < kSide; ++column)
            addVertex(column * kSpacing, row * kSpacing);
    // Right, down-left, down, down-right: each pair met once.
    const int steps[4][2] = {{1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    for (int row = 0; row < kSide; ++row)
        for (int column = 0; column < kSide; ++column)
            for (const auto& step : steps) {
                const int nc = column + step[0];
                const int nr = row + step[1];
                if (nc < 0 || nc >= kSide || nr >= kSide || !linkAllowed(doors, row, column, step[0], step[1]))
                    continue;
                toggleLink(row * kSide + column, nr * kSide + nc);
            }
    scene.startVertex = 0;
    scene.goalVertex = kSide * kSide - 1;
}
