#include "graph/vertex_grid.h"

#include <algorithm>
#include <cmath>

constexpr double kVerticesPerCell = 2.0;
// Cell bounds are computed in doubles; a vertex may sit this far (relative to
// a cell) outside the cell it was filed under, so bounds give that much away.
constexpr double kCellSlack = 1e-6;
// The distance of a pick may undershoot the true one by a few float
// roundings; a cell is passed over only when clearly farther.
constexpr double kDistanceSlack = 1e-5;

static VertexGrid grid;
static std::uint64_t gridRevision = 0;
static bool gridBuilt = false;

static bool isFinite(const Vertex& vertex)
{
    return std::isfinite(vertex.x) && std::isfinite(vertex.y);
}

static int clampCell(double at, int count)
{
    if (!(at >= 0.0))
        return 0;
    return at >= count ? count - 1 : static_cast<int>(at);
}

static int columnOf(const VertexGrid& g, double x)
{
    return clampCell(std::floor((x - g.left) / g.cellSize), g.columns);
}

static int rowOf(const VertexGrid& g, double y)
{
    return clampCell(std::floor((y - g.top) / g.cellSize), g.rows);
}

static int cellOf(const VertexGrid& g, const Vertex& vertex)
{
    return rowOf(g, vertex.y) * g.columns + columnOf(g, vertex.x);
}

// Sizes the cells for count vertices spread over width x height.
static void chooseCells(VertexGrid& g, double width, double height, std::size_t count)
{
    const double side = std::max(width, height);
    const double n = static_cast<double>(count);
    g.cellSize = side > 0.0 ? std::max(std::sqrt(width * height * kVerticesPerCell / n), side * kVerticesPerCell / n)
                            : 1.0;
    // The columns and rows are bounded by the count, however the sizes round.
    const double most = n + 1.0;
    g.columns = static_cast<int>(std::min(most, std::floor(width / g.cellSize) + 1.0));
    g.rows = static_cast<int>(std::min(most, std::floor(height / g.cellSize) + 1.0));
}

static double longestLinkOf(const std::vector<Vertex>& vertices)
{
    double longest = 0.0;
    for (const Vertex& vertex : vertices)
        for (int i = 0; i < vertex.linkCount; ++i) {
            const Vertex& other = vertices[static_cast<std::size_t>(vertex.links[i].to)];
            const double length = std::hypot(static_cast<double>(vertex.x) - other.x,
                                              static_cast<double>(vertex.y) - other.y);
            if (std::isfinite(length))
                longest = std::max(longest, length);
        }
    return longest;
}

void buildVertexGrid(VertexGrid& g, const std::vector<Vertex>& vertices)
{
    g = VertexGrid{};
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    std::size_t count = 0;
    for (const Vertex& vertex : vertices) {
        if (!isFinite(vertex))
            continue;
        left = std::min(left, static_cast<double>(vertex.x));
        right = std::max(right, static_cast<double>(vertex.x));
        top = std::min(top, static_cast<double>(vertex.y));
        bottom = std::max(bottom, static_cast<double>(vertex.y));
        ++count;
    }
    g.longestLink = longestLinkOf(vertices);
    if (count == 0)
        return;
    g.left = left;
    g.top = top;
    chooseCells(g, right - left, bottom - top, count);
    const std::size_t cells = static_cast<std::size_t>(g.columns) * static_cast<std::size_t>(g.rows);
    g.cellStart.assign(cells + 1, 0);
    for (const Vertex& vertex : vertices)
        if (isFinite(vertex))
            ++g.cellStart[static_cast<std::size_t>(cellOf(g, vertex)) + 1];
    for (std::size_t c = 0; c < cells; ++c)
        g.cellStart[c + 1] += g.cellStart[c];
    g.members.resize(count);
    std::vector<int> next(g.cellStart.begin(), g.cellStart.end() - 1);
    for (int i = 0; i < static_cast<int>(vertices.size()); ++i)
        if (isFinite(vertices[static_cast<std::size_t>(i)]))
            g.members[static_cast<std::size_t>(next[static_cast<std::size_t>(cellOf(g, vertices[static_cast<std::size_t>(i)]))]++)] = i;
}

// Distance from (x, y) to the cells [c0, c1] x [r0, r1]; infinite when empty.
static double distanceToCells(const VertexGrid& g, double x, double y, int c0, int c1, int r0, int r1)
{
    if (c0 > c1 || r0 > r1)
        return HUGE_VAL;
    const double slack = g.cellSize * kCellSlack;
    const double left = g.left + c0 * g.cellSize - slack, right = g.left + (c1 + 1) * g.cellSize + slack;
    const double top = g.top + r0 * g.cellSize - slack, bottom = g.top + (r1 + 1) * g.cellSize + slack;
    const double dx = x < left ? left - x : x > right ? x - right : 0.0;
    const double dy = y < top ? top - y : y > bottom ? y - bottom : 0.0;
    return std::hypot(dx, dy);
}

struct Pick {
    double distance = HUGE_VAL;
    int index = -1;
};

static void pickInCell(const VertexGrid& g, const std::vector<Vertex>& vertices, int cell, float x, float y,
                       Pick& pick)
{
    for (int m = g.cellStart[static_cast<std::size_t>(cell)]; m < g.cellStart[static_cast<std::size_t>(cell) + 1];
         ++m) {
        const int i = g.members[static_cast<std::size_t>(m)];
        const double distance = pickDistance(vertices[static_cast<std::size_t>(i)], x, y);
        if (distance < pick.distance || (distance == pick.distance && pick.index != -1 && i < pick.index)) {
            pick.distance = distance;
            pick.index = i;
        }
    }
}

int nearestInGrid(const VertexGrid& g, const std::vector<Vertex>& vertices, float x, float y)
{
    if (g.members.empty() || !std::isfinite(x) || !std::isfinite(y))
        return -1;
    const int qc = columnOf(g, x), qr = rowOf(g, y);
    Pick pick;
    for (int r = 0;; ++r) {
        const int c0 = qc - r, c1 = qc + r, r0 = qr - r, r1 = qr + r;
        for (int row = std::max(r0, 0); row <= std::min(r1, g.rows - 1); ++row) {
            if (row == r0 || row == r1) {
                for (int column = std::max(c0, 0); column <= std::min(c1, g.columns - 1); ++column)
                    pickInCell(g, vertices, row * g.columns + column, x, y, pick);
                continue;
            }
            if (c0 >= 0)
                pickInCell(g, vertices, row * g.columns + c0, x, y, pick);
            if (c1 < g.columns && c1 != c0)
                pickInCell(g, vertices, row * g.columns + c1, x, y, pick);
        }
        if (c0 <= 0 && r0 <= 0 && c1 >= g.columns - 1 && r1 >= g.rows - 1)
            break;
        // Every cell not yet seen lies in one of four slabs around the block.
        const int bc0 = std::max(c0, 0), bc1 = std::min(c1, g.columns - 1);
        const double unseen = std::min(
            std::min(distanceToCells(g, x, y, 0, c0 - 1, 0, g.rows - 1),
                     distanceToCells(g, x, y, c1 + 1, g.columns - 1, 0, g.rows - 1)),
            std::min(distanceToCells(g, x, y, bc0, bc1, 0, r0 - 1),
                     distanceToCells(g, x, y, bc0, bc1, r1 + 1, g.rows - 1)));
        if (pick.index != -1 &&
            unseen * unseen * (1.0 - kDistanceSlack) > pick.distance)
            break;
    }
    return pick.index;
}

// The cells box meets, clamped to the grid; false when it meets none.
static bool cellsOf(const VertexGrid& g, const MapBox& box, int& c0, int& c1, int& r0, int& r1)
{
    if (g.members.empty() || !(box.left <= box.right) || !(box.top <= box.bottom))
        return false;
    const double slack = g.cellSize * kCellSlack;
    const double right = g.left + g.columns * g.cellSize, bottom = g.top + g.rows * g.cellSize;
    if (box.right < g.left - slack || box.left > right + slack || box.bottom < g.top - slack ||
        box.top > bottom + slack)
        return false;
    c0 = columnOf(g, box.left - slack);
    c1 = columnOf(g, box.right + slack);
    r0 = rowOf(g, box.top - slack);
    r1 = rowOf(g, box.bottom + slack);
    return true;
}

void verticesInBox(const VertexGrid& g, const MapBox& box, std::vector<int>& out)
{
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    if (!cellsOf(g, box, c0, c1, r0, r1))
        return;
    for (int row = r0; row <= r1; ++row) {
        const std::size_t from = static_cast<std::size_t>(row * g.columns + c0);
        const std::size_t to = static_cast<std::size_t>(row * g.columns + c1) + 1;
        out.insert(out.end(), g.members.begin() + g.cellStart[from], g.members.begin() + g.cellStart[to]);
    }
}

std::size_t countInBox(const VertexGrid& g, const MapBox& box)
{
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    if (!cellsOf(g, box, c0, c1, r0, r1))
        return 0;
    std::size_t count = 0;
    for (int row = r0; row <= r1; ++row)
        count += static_cast<std::size_t>(g.cellStart[static_cast<std::size_t>(row * g.columns + c1) + 1] -
                                          g.cellStart[static_cast<std::size_t>(row * g.columns + c0)]);
    return count;
}

const VertexGrid& sceneGrid()
{
    if (!gridBuilt || gridRevision != layoutRevision()) {
        buildVertexGrid(grid, scene.vertices);
        gridRevision = layoutRevision();
        gridBuilt = true;
    }
    return grid;
}
