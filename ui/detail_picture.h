// The level-of-detail picture of points and links, for views in which far
// more vertices are in sight than can be drawn one by one in a frame. The
// graph is kept at levels: level 0 every vertex and every link once; each
// level above merges the points of the one below into cells twice as wide,
// keeping one point a cell and one link between two cells. A frame paints the
// coarsest level whose cells are at most a pixel wide, on the processor, as
// one image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/scene.h"
#include "ui/palette.h"
#include "ui/view.h"

// Past this many vertices near the window the window draws the level-of-detail
// picture (outside the default view) instead of every point and link.
constexpr std::size_t kDetailBudget = 20000;

// Tiles across (and down) a level's box: its points are sorted by tile, and
// its links by the tile of their first end, so a frame visits only the tiles
// near the window.
constexpr int kDetailTiles = 64;

struct DetailLevel {
    double cellSize = 0.0;   // map units; 0 for level 0 (every vertex)
    std::vector<float> xy;   // the level's points, x then y
    std::vector<int> ends;   // its links, as pairs of indices into its points
    double left = 0.0, top = 0.0, tileSize = 1.0; // the tiles' box and side, map units
    std::vector<int> pointStart, linkStart;       // a tile's points and links begin here
    double longestLink = 0.0;                     // map units
};

// Builds levels from vertices: level 0 and coarser ones, each cell twice the
// one below starting at baseCell, until one holds fewer than a few thousand
// points. Vertices that are not finite are left out.
void buildDetailLevels(std::vector<DetailLevel>& levels, const std::vector<Vertex>& vertices, double baseCell);

// The scene's levels, rebuilt when the layout (layoutRevision) changed.
const std::vector<DetailLevel>& sceneDetailLevels();

// The level a view at scale draws: the coarsest whose cells are at most two
// pixels wide (so a link is seldom longer than a few pixels); 0 when even the
// first merged level's cells are wider.
std::size_t detailLevelFor(const std::vector<DetailLevel>& levels, float scale);

// Paints level in a window of width x height under view into rgba, bottom row
// first as glDrawPixels takes it: the ground in groundColour with alpha 0, a
// 3 x 3 block of pointColour for every point, then the links as one-pixel
// lines of linkColour with alpha 255 over them.
void paintDetail(std::vector<std::uint8_t>& rgba, int width, int height, const ViewTransform& view,
                 const DetailLevel& level, const Colour& groundColour, const Colour& pointColour,
                 const Colour& linkColour);
