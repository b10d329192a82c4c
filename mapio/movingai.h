// Moving AI benchmark grid maps (.map) and the plain text their files share
// with scenario files (.scen, see mapio/scenario.h).
//
// A map file is "type octile", "height H", "width W" (these two in either
// order), "map", then H rows of exactly W characters; lines end in LF or
// CR LF, and only empty lines may follow the last row. Passable cells are
// '.', 'G' and 'S'; every other character blocks.
//
// Where cells land: square cells of side cellSize = the largest multiple of
// 2^-13 pixels not above min(800 / W, 600 / H), the grid centred in the
// 800 x 600 window (offsets rounded down to multiples of 2^-14), each vertex
// at its cell's centre, y growing downwards with the row. Every coordinate is
// then a float exactly, so a straight link costs exactly cellSize and every
// diagonal the same vertexDistance of (cellSize, cellSize).
//
// Links: each vertex lists its passable neighbours in the fixed order N, NE,
// E, SE, S, SW, W, NW (N is the row above). A diagonal is made only when both
// cells beside it are passable, so no route cuts a blocked corner. Every cost
// is vertexDistance of its two ends, the same seen from either end.
#pragma once

#include <string>
#include <vector>

#include "graph/scene.h"
#include "mapio/fit.h"

// Largest width and largest height accepted; the cell count is further held
// to kMaxMapVertices.
constexpr int kMaxGridSide = 65536;
// Files larger than this are refused before they are read.
constexpr long kMaxMovingAiFileBytes = 16L << 20;

// Where the cells of a grid map landed.
struct GridInfo {
    int width = 0;
    int height = 0;
    double cellSize = 1.0;          // pixels per cell side
    std::vector<int> cellVertex;    // row-major, the vertex of each cell, -1 if blocked
};

// Reads a .map file: each passable cell (. G S) becomes a vertex in row-major
// order, linked as above; the map's cellSize is the grid's, so costs can be
// given in cells. grid, when given, receives the cell-to-vertex
// table. On any fault map and grid are untouched and error is one line
// "PATH:LINE: what is wrong" (":LINE" left out for faults of the whole file).
bool readMovingAiFile(const std::string& path, Scene& map, std::string& error, GridInfo* grid);
// The same for text already in memory; name stands for the file in errors.
bool parseMovingAi(const std::string& text, const std::string& name, Scene& map, std::string& error,
                   GridInfo* grid);
