// Recognising a graph that is a uniform eight-connected grid without corner
// cutting: the maps Jump Point Search may answer. Every Moving AI map read by
// the program is one, and so is a .vmap converted from one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/scene.h"

// A grid the graph was found to be: cell (column, row) lies at
// (originX + column * cellSide, originY + row * cellSide).
struct GridShape {
    int width = 0;
    int height = 0;
    std::vector<int> cellVertex; // row-major; the vertex of each cell, -1 where there is none
    std::vector<int> vertexCell; // the cell of each vertex
    double straightCost = 0.0;   // the cost every straight link has
    double diagonalCost = 0.0;   // the cost every diagonal link has
    // The open cells as bits, for scanning a line 64 cells at a time: row r's
    // bit c + 1 in rowBits[(r + 1) * rowWords ...], a closed border around;
    // columnBits the same with rows and columns swapped.
    int rowWords = 0;
    int columnWords = 0;
    std::vector<std::uint64_t> rowBits;
    std::vector<std::uint64_t> columnBits;
    // Where a straight scan must stop, laid out as the bits above: a closed
    // cell, or an open one with an open cell beside it whose cell behind is
    // closed (a forced turn). [0] going up the line (right, down), [1] going
    // back; a scan reads one word per 64 cells.
    std::vector<std::uint64_t> rowStops[2];
    std::vector<std::uint64_t> columnStops[2];
};

// True when vertices form such a grid, with shape filled in:
// - every vertex on the plane (z = 0) at a distinct cell of one square lattice
//   whose side is the smallest gap between distinct coordinates;
// - each vertex linked to exactly its present neighbours among the eight,
//   a diagonal only where both cells beside it are present (no corner cut);
// - one cost (linkCost: terrain counts) for every straight link, one for
//   every diagonal, the diagonal
//   at least the straight and under twice it.
// Otherwise false with shape untouched and why saying, in a few words, the
// first rule broken. An empty graph is not a grid; one vertex is.
bool recogniseGrid(const std::vector<Vertex>& vertices, GridShape& shape, std::string& why);
