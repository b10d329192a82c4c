// Moving AI benchmark grid maps (.map) and scenario files (.scen).
#pragma once

#include <string>
#include <vector>

#include "mapio/map_data.h"

// Where the cells of a grid map landed.
struct GridInfo {
    int width = 0;
    int height = 0;
    double cellSize = 1.0;          // pixels per cell side
    std::vector<int> cellVertex;    // row-major, the vertex of each cell, -1 if blocked
};

// Reads a .map file: each passable cell (. G S) becomes a vertex in row-major
// order, linked to passable neighbours in 8 directions, diagonals only when
// both side cells are passable. Cells are square, fitted to the window.
// grid, when given, receives the cell-to-vertex table.
bool readMovingAiFile(const std::string& path, MapData& map, std::string& error, GridInfo* grid);
bool parseMovingAi(const std::string& text, const std::string& name, MapData& map, std::string& error,
                   GridInfo* grid);
