// Jump Point Search: A* on a uniform grid that skips the cells any cheapest
// route may pass straight over, expanding only "jump points", where a route
// may have to turn.
//
// Why it stays exact: among the cheapest routes between two cells there is
// always one that takes its diagonal moves before its straight ones between
// turns, and turns only beside an obstacle or at the goal. The jumps follow
// exactly such routes, so the cheapest one is among those searched; with the
// octile distance, a consistent estimate on this grid, A* over the jump
// points then takes the goal at its cheapest cost. Corners are never cut: a
// diagonal move needs both cells beside it.
#pragma once

#include <vector>

#include "route/grid_shape.h"

struct JumpSearch {
    bool found = false;
    std::vector<int> route;      // vertices from start to goal, every cell on the way
    std::vector<int> jumpPoints; // vertices expanded, in order
    std::vector<int> turns;      // the jump points the route turns at, start and goal included
    long straightMoves = 0;      // moves of the route along a row or a column
    long diagonalMoves = 0;
    double cost = 0.0; // straightMoves * straightCost + diagonalMoves * diagonalCost
    // With tables asked for: every jump point reached, in the order first
    // reached, with the expansion count then (the start 0), the jump point it
    // was last reached from (-1 for the start), its cost and octile estimate.
    std::vector<int> reached, reachedAt, parent;
    std::vector<double> g, h;
};

// Searches grid (from recogniseGrid) from start to goal, valid vertex
// indices, possibly equal. The route costs the least of any in the grid.
// An unreachable goal leaves found false, route and turns empty.
JumpSearch jumpPointSearch(const GridShape& grid, int start, int goal, bool withTables = false);
