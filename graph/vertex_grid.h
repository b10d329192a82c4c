// A uniform grid over a vertex list, so that the vertex nearest a point and
// the vertices in a box are found by looking at a few cells instead of every
// vertex. The scene's own grid is rebuilt when layoutRevision moves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/scene.h"

// A box in map units, left <= right and top <= bottom; doubles, so any pair
// of floats and the distance between them fit.
struct MapBox {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
};

// Cells of cellSize squared from (left, top), columns x rows of them; the
// members of cell c are members[cellStart[c] .. cellStart[c + 1]), in
// increasing index. Vertices with a coordinate that is not finite are in no
// cell: no point is ever nearest to them.
struct VertexGrid {
    double left = 0.0, top = 0.0, cellSize = 1.0;
    int columns = 0, rows = 0;
    std::vector<int> cellStart;
    std::vector<int> members;
    double longestLink = 0.0; // planar length of the longest link, 0 without links
};

// Builds grid over vertices, about two vertices a cell.
void buildVertexGrid(VertexGrid& grid, const std::vector<Vertex>& vertices);

// The vertex nearest (x, y) exactly as a scan of every vertex finds it: the
// smallest pickDistance, the lowest index on a tie; -1 when there is none.
// grid must be built from vertices.
int nearestInGrid(const VertexGrid& grid, const std::vector<Vertex>& vertices, float x, float y);

// Appends to out every vertex of the cells that meet box: each vertex inside
// the box at least once, and maybe others near it.
void verticesInBox(const VertexGrid& grid, const MapBox& box, std::vector<int>& out);

// How many vertices the cells that meet box hold (what verticesInBox would
// append), counted without visiting them.
std::size_t countInBox(const VertexGrid& grid, const MapBox& box);

// The scene's grid, rebuilt first when the layout (layoutRevision) changed since it was built.
const VertexGrid& sceneGrid();
