// A graph is accepted only if it is, link for link, the grid it is taken for,
// so Jump Point Search needs no trust in where the map came from.
#include "route/grid_shape.h"

#include <algorithm>
#include <cmath>

#include "graph/costs.h"

// Keeps a scattered graph from asking for a huge cell table.
constexpr double kMostCellsPerVertex = 64.0;

struct Step {
    int column;
    int row;
};
constexpr Step kSteps[8] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

// Smallest positive gap between the sorted distinct values; 0 when all equal.
static double smallestGap(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    double gap = 0.0;
    for (std::size_t i = 1; i < values.size(); ++i) {
        const double step = values[i] - values[i - 1];
        if (step > 0.0 && (gap == 0.0 || step < gap))
            gap = step;
    }
    return gap;
}

// The lattice index of value, or -1 when value is not exactly on it.
static long latticeIndex(double value, double origin, double side)
{
    const double index = (value - origin) / side;
    if (index != std::floor(index) || index > 1e9 || origin + index * side != value)
        return -1;
    return static_cast<long>(index);
}

// The side is the step of the first vertex's links that has any: on a grid
// every link is one step of it, so the smallest step there is the smallest
// anywhere, and a graph that is no grid is refused later whichever side is
// tried. Without any link, half the smallest gap, so that no two vertices
// are neighbours and none need a link.
static double latticeSide(const std::vector<Vertex>& vertices, const std::vector<double>& xs,
                          const std::vector<double>& ys)
{
    double side = 0.0;
    for (const Vertex& v : vertices) {
        for (int i = 0; i < v.linkCount; ++i)
            for (const double step : {std::fabs(static_cast<double>(vertices[v.links[i].to].x) - v.x),
                                      std::fabs(static_cast<double>(vertices[v.links[i].to].y) - v.y)})
                if (step > 0.0 && (side == 0.0 || step < side))
                    side = step;
        if (v.linkCount > 0)
            return side == 0.0 ? 1.0 : side; // links of length 0: refused as not neighbours
    }
    const double gapX = smallestGap(xs);
    const double gapY = smallestGap(ys);
    side = (gapX == 0.0 || (gapY > 0.0 && gapY < gapX) ? gapY : gapX) / 2.0;
    return side == 0.0 ? 1.0 : side; // one vertex
}

static bool place(const std::vector<Vertex>& vertices, GridShape& grid, bool& plain, std::string& why)
{
    double originX = vertices[0].x, originY = vertices[0].y;
    bool linked = false;
    plain = true;
    // The coordinates packed apart: a vertex's record is far larger than the
    // two floats the next pass reads.
    std::vector<float> placeX(vertices.size()), placeY(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Vertex& v = vertices[i];
        if (v.z != 0.0f) {
            why = "a vertex lies off the plane";
            return false;
        }
        originX = std::min(originX, static_cast<double>(v.x));
        originY = std::min(originY, static_cast<double>(v.y));
        placeX[i] = v.x;
        placeY[i] = v.y;
        linked = linked || v.linkCount > 0;
        plain = plain && v.factor == 1.0f;
    }
    std::vector<double> xs, ys; // only a graph without links needs them
    if (!linked) {
        xs.assign(placeX.begin(), placeX.end());
        ys.assign(placeY.begin(), placeY.end());
    }
    const double side = latticeSide(vertices, xs, ys);
    long width = 0, height = 0;
    grid.vertexCell.resize(vertices.size());
    std::vector<int> rows(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const long column = latticeIndex(placeX[i], originX, side);
        const long row = latticeIndex(placeY[i], originY, side);
        if (column < 0 || row < 0) {
            why = "vertices do not lie on one square lattice";
            return false;
        }
        width = std::max(width, column + 1);
        height = std::max(height, row + 1);
        grid.vertexCell[i] = static_cast<int>(column); // below 1e9: an int
        rows[i] = static_cast<int>(row);
    }
    if (static_cast<double>(width) * static_cast<double>(height) >
        kMostCellsPerVertex * static_cast<double>(vertices.size()) + 64.0) {
        why = "vertices are too scattered for a grid";
        return false;
    }
    grid.width = static_cast<int>(width);
    grid.height = static_cast<int>(height);
    grid.cellVertex.assign(static_cast<std::size_t>(width * height), -1);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const long cell = rows[i] * width + grid.vertexCell[i];
        if (grid.cellVertex[cell] >= 0) {
            why = "two vertices share a cell";
            return false;
        }
        grid.cellVertex[cell] = static_cast<int>(i);
        grid.vertexCell[i] = static_cast<int>(cell);
    }
    return true;
}

static int vertexAt(const GridShape& grid, int column, int row)
{
    if (column < 0 || row < 0 || column >= grid.width || row >= grid.height)
        return -1;
    return grid.cellVertex[static_cast<std::size_t>(row) * grid.width + column];
}

// True when a link of cost to neighbour agrees with the one cost of its kind.
static bool sameCost(double& kind, float cost)
{
    if (kind == 0.0)
        kind = cost;
    return kind == cost;
}

// The index in kSteps of the step from cell (at column) to target, or -1
// when target is no neighbour. Told apart by the difference of the cells'
// numbers, not by dividing them (two divisions a link were most of the
// recogniser's time); a difference that wraps round a row's end is refused
// by the column it would reach.
static int stepTo(const GridShape& grid, int cell, int column, int target)
{
    // kSteps' index by row step and column step, each plus one.
    constexpr int kIndex[3][3] = {{7, 0, 1}, {6, -1, 2}, {5, 4, 3}};
    const int width = grid.width;
    int dr = 0, dc = 0;
    if (width < 3) { // the ranges below would overlap
        dc = target % width - column;
        dr = target / width - cell / width;
    } else {
        const int difference = target - cell;
        dr = difference < -1 ? -1 : difference > 1 ? 1 : 0;
        dc = difference - dr * width;
    }
    if (dc < -1 || dc > 1 || dr < -1 || dr > 1 || column + dc < 0 || column + dc >= width)
        return -1;
    return kIndex[dr + 1][dc + 1];
}

static bool checkLinks(const std::vector<Vertex>& vertices, GridShape& grid, bool plain, std::string& why)
{
    // Cell by cell, which reaches every vertex (place gave each its own) and
    // knows its column and row without dividing.
    const std::size_t cells = grid.cellVertex.size();
    int row = 0, column = 0;
    for (std::size_t cell = 0; cell < cells; ++cell, ++column) {
        if (column == grid.width)
            column = 0, ++row;
        const int at = grid.cellVertex[cell];
        if (at < 0)
            continue;
        const std::size_t i = static_cast<std::size_t>(at);
        // The first link each way, found in one pass over the table rather
        // than one search of it per neighbour.
        int firstLink[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
        for (int l = vertices[i].linkCount - 1; l >= 0; --l) {
            const int way = stepTo(grid, grid.vertexCell[i], column, grid.vertexCell[vertices[i].links[l].to]);
            if (way >= 0)
                firstLink[way] = l;
        }
        int expected = 0;
        for (int way = 0; way < 8; ++way) {
            const Step& step = kSteps[way];
            const int neighbour = vertexAt(grid, column + step.column, row + step.row);
            const bool diagonal = step.column != 0 && step.row != 0;
            if (neighbour < 0 || (diagonal && (vertexAt(grid, column + step.column, row) < 0 ||
                                               vertexAt(grid, column, row + step.row) < 0)))
                continue;
            ++expected;
            if (firstLink[way] < 0) {
                why = "a link between neighbouring cells is missing";
                return false;
            }
            const Link* link = &vertices[i].links[firstLink[way]];
            // What the searches pay: painted terrain makes links of one kind differ.
            // plain: no vertex painted, so no need to read the neighbour's factor.
            if (!sameCost(diagonal ? grid.diagonalCost : grid.straightCost,
                          plain ? link->cost : linkCost(vertices[i], vertices[neighbour], *link))) {
                why = "links of one kind differ in cost";
                return false;
            }
        }
        if (vertices[i].linkCount != expected) {
            why = "a link joins cells that are not neighbours, or cuts a corner";
            return false;
        }
    }
    if (grid.straightCost == 0.0)
        grid.straightCost = grid.diagonalCost == 0.0 ? 1.0 : grid.diagonalCost / std::sqrt(2.0);
    if (grid.diagonalCost == 0.0)
        grid.diagonalCost = grid.straightCost * std::sqrt(2.0);
    if (!(grid.diagonalCost >= grid.straightCost && grid.diagonalCost < 2.0 * grid.straightCost)) {
        why = "a diagonal does not cost between one and two straight links";
        return false;
    }
    return true;
}

static void fillBits(GridShape& grid)
{
    grid.rowWords = (grid.width + 2 + 63) / 64;
    grid.columnWords = (grid.height + 2 + 63) / 64;
    grid.rowBits.assign(static_cast<std::size_t>(grid.height + 2) * grid.rowWords, 0);
    grid.columnBits.assign(static_cast<std::size_t>(grid.width + 2) * grid.columnWords, 0);
    for (int row = 0; row < grid.height; ++row)
        for (int column = 0; column < grid.width; ++column) {
            if (grid.cellVertex[static_cast<std::size_t>(row) * grid.width + column] < 0)
                continue;
            const std::size_t across = static_cast<std::size_t>(row + 1) * grid.rowWords;
            const std::size_t down = static_cast<std::size_t>(column + 1) * grid.columnWords;
            grid.rowBits[across + (column + 1) / 64] |= std::uint64_t{1} << ((column + 1) % 64);
            grid.columnBits[down + (row + 1) / 64] |= std::uint64_t{1} << ((row + 1) % 64);
        }
}

static std::uint64_t wordAt(const std::vector<std::uint64_t>& bits, std::size_t line, int words, int w)
{
    return w >= 0 && w < words ? bits[line * static_cast<std::size_t>(words) + static_cast<std::size_t>(w)] : 0;
}

// The stops of every line between the borders, both ways.
static void fillStops(const std::vector<std::uint64_t>& bits, int lines, int words, std::vector<std::uint64_t> stops[2])
{
    for (int way = 0; way < 2; ++way)
        stops[way].assign(static_cast<std::size_t>(lines + 2) * words, ~std::uint64_t{0});
    for (std::size_t line = 1; line <= static_cast<std::size_t>(lines); ++line)
        for (int w = 0; w < words; ++w) {
            const std::uint64_t own = wordAt(bits, line, words, w);
            const std::uint64_t left = wordAt(bits, line - 1, words, w);
            const std::uint64_t right = wordAt(bits, line + 1, words, w);
            // Each side's cells one position behind, moved into line.
            const std::uint64_t leftAfter = left << 1 | wordAt(bits, line - 1, words, w - 1) >> 63;
            const std::uint64_t rightAfter = right << 1 | wordAt(bits, line + 1, words, w - 1) >> 63;
            const std::uint64_t leftBefore = left >> 1 | wordAt(bits, line - 1, words, w + 1) << 63;
            const std::uint64_t rightBefore = right >> 1 | wordAt(bits, line + 1, words, w + 1) << 63;
            const std::size_t at = line * static_cast<std::size_t>(words) + static_cast<std::size_t>(w);
            stops[0][at] = ~own | (left & ~leftAfter) | (right & ~rightAfter);
            stops[1][at] = ~own | (left & ~leftBefore) | (right & ~rightBefore);
        }
}

bool recogniseGrid(const std::vector<Vertex>& vertices, GridShape& shape, std::string& why)
{
    if (vertices.empty()) {
        why = "the map is empty";
        return false;
    }
    GridShape grid;
    bool plain = true; // no vertex painted
    if (!place(vertices, grid, plain, why) || !checkLinks(vertices, grid, plain, why))
        return false;
    fillBits(grid);
    fillStops(grid.rowBits, grid.height, grid.rowWords, grid.rowStops);
    fillStops(grid.columnBits, grid.width, grid.columnWords, grid.columnStops);
    shape = std::move(grid);
    return true;
}
