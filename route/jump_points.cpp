#include "route/jump_points.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <queue>
#include <utility>

struct Direction {
    int column;
    int row;
};

struct Waiting {
    double score; // cost so far plus the octile estimate
    long order;   // first pushed, first taken among equal scores
    int cell;
    bool operator>(const Waiting& other) const
    {
        return score != other.score ? score > other.score : order > other.order;
    }
};

struct Jumper {
    const GridShape& grid;
    int goalCell;
};

static bool open(const GridShape& grid, int column, int row)
{
    return column >= 0 && row >= 0 && column < grid.width && row < grid.height &&
           grid.cellVertex[static_cast<std::size_t>(row) * grid.width + column] >= 0;
}

// A diagonal move needs both cells beside it: no corner is cut.
static bool canStep(const GridShape& grid, int column, int row, Direction d)
{
    if (d.column != 0 && d.row != 0)
        return open(grid, column + d.column, row) && open(grid, column, row + d.row) &&
               open(grid, column + d.column, row + d.row);
    return open(grid, column + d.column, row + d.row);
}

// A straight line, seen as bits: the line's own open cells and those of the
// lines beside it, indexed by position along it (one past the border).
struct Line {
    const std::uint64_t* own;
    const std::uint64_t* left;
    const std::uint64_t* right;
    int words;
};

static std::uint64_t wordOf(const std::uint64_t* bits, int words, int w)
{
    return w >= 0 && w < words ? bits[w] : 0;
}

// The first position past from, going up the line (forward) or down it,
// where the line stops being worth following: a closed cell, or an open one
// beside which a cell is open although the one behind it is closed (a
// "forced" turn: no cheaper route reaches that cell than through here).
// 64 positions a word; the closed border ends every scan.
static int firstStop(const Line& line, int from, bool forward)
{
    const int step = forward ? 1 : -1;
    for (int w = (from + step) >> 6;; w += step) {
        const std::uint64_t own = line.own[w];
        const std::uint64_t left = line.left[w], right = line.right[w];
        // Each side's cells one position behind, moved into line.
        const std::uint64_t leftBehind = forward ? left << 1 | wordOf(line.left, line.words, w - 1) >> 63
                                                 : left >> 1 | wordOf(line.left, line.words, w + 1) << 63;
        const std::uint64_t rightBehind = forward ? right << 1 | wordOf(line.right, line.words, w - 1) >> 63
                                                  : right >> 1 | wordOf(line.right, line.words, w + 1) << 63;
        std::uint64_t stops = ~own | (left & ~leftBehind) | (right & ~rightBehind);
        if (w == (from + step) >> 6) { // only positions past from
            const int first = (from + step) & 63;
            stops &= forward ? ~std::uint64_t{0} << first : ~std::uint64_t{0} >> (63 - first);
        }
        if (stops != 0)
            return w * 64 + (forward ? __builtin_ctzll(stops) : 63 - __builtin_clzll(stops));
    }
}

// The jump point straight on from (column, row) along d, or -1.
static int jumpStraight(const Jumper& j, int column, int row, Direction d)
{
    const GridShape& grid = j.grid;
    const bool across = d.column != 0;
    const int lineIndex = (across ? row : column) + 1;
    const int words = across ? grid.rowWords : grid.columnWords;
    const std::uint64_t* bits = across ? grid.rowBits.data() : grid.columnBits.data();
    const Line line{bits + static_cast<std::size_t>(lineIndex) * words,
                    bits + static_cast<std::size_t>(lineIndex - 1) * words,
                    bits + static_cast<std::size_t>(lineIndex + 1) * words, words};
    const int from = (across ? column : row) + 1;
    const bool forward = (across ? d.column : d.row) > 0;
    const int stop = firstStop(line, from, forward);
    const int goalColumn = j.goalCell % grid.width, goalRow = j.goalCell / grid.width;
    if (across ? goalRow == row : goalColumn == column) {
        const int goalAt = (across ? goalColumn : goalRow) + 1;
        if (forward ? goalAt > from && goalAt <= stop : goalAt < from && goalAt >= stop)
            return j.goalCell; // open all the way: the stop is at or past it
    }
    if (!(line.own[stop >> 6] >> (stop & 63) & 1))
        return -1;
    return across ? row * grid.width + (stop - 1) : (stop - 1) * grid.width + column;
}

// The next jump point from (column, row) in direction d, or -1.
static int jump(const Jumper& j, int column, int row, Direction d)
{
    if (d.column == 0 || d.row == 0)
        return jumpStraight(j, column, row, d);
    const GridShape& grid = j.grid;
    while (canStep(grid, column, row, d)) {
        column += d.column;
        row += d.row;
        const int cell = row * grid.width + column;
        if (cell == j.goalCell || jumpStraight(j, column, row, {d.column, 0}) >= 0 ||
            jumpStraight(j, column, row, {0, d.row}) >= 0)
            return cell;
    }
    return -1;
}

static double octile(const GridShape& grid, int from, int to)
{
    const long across = std::labs(static_cast<long>(from % grid.width - to % grid.width));
    const long down = std::labs(static_cast<long>(from / grid.width - to / grid.width));
    const long diagonal = std::min(across, down);
    return static_cast<double>(diagonal) * grid.diagonalCost +
           static_cast<double>(std::max(across, down) - diagonal) * grid.straightCost;
}

static int sign(int value)
{
    return (value > 0) - (value < 0);
}

// The directions worth jumping in from cell, reached from parent (-1 at the
// start): the way it came, its parts when diagonal, and the turns forced by
// obstacles beside a straight line.
struct Directions {
    Direction way[8];
    int count = 0;
};

static Directions directionsFrom(const GridShape& grid, int cell, int parent)
{
    const int column = cell % grid.width;
    const int row = cell / grid.width;
    if (parent < 0)
        return {{{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}}, 8};
    const Direction d{sign(column - parent % grid.width), sign(row - parent / grid.width)};
    if (d.column != 0 && d.row != 0)
        return {{{d.column, 0}, {0, d.row}, d}, 3};
    Directions ways;
    ways.way[ways.count++] = d;
    for (int side : {-1, 1}) {
        const Direction across = d.column != 0 ? Direction{0, side} : Direction{side, 0};
        if (open(grid, column + across.column, row + across.row) &&
            !open(grid, column + across.column - d.column, row + across.row - d.row)) {
            ways.way[ways.count++] = across;
            ways.way[ways.count++] = {d.column + across.column, d.row + across.row};
        }
    }
    return ways;
}

// Every cell from the start to goalCell, through the turns.
static void unpack(const GridShape& grid, const std::vector<int>& parent, int goalCell, JumpSearch& result)
{
    std::vector<int> turns;
    for (int cell = goalCell; cell >= 0; cell = parent[cell])
        turns.push_back(cell);
    std::reverse(turns.begin(), turns.end());
    result.route.push_back(grid.cellVertex[turns[0]]);
    for (std::size_t i = 1; i < turns.size(); ++i) {
        int column = turns[i - 1] % grid.width, row = turns[i - 1] / grid.width;
        const int toColumn = turns[i] % grid.width, toRow = turns[i] / grid.width;
        const Direction d{sign(toColumn - column), sign(toRow - row)};
        while (column != toColumn || row != toRow) {
            column += d.column;
            row += d.row;
            result.route.push_back(grid.cellVertex[static_cast<std::size_t>(row) * grid.width + column]);
            ++(d.column != 0 && d.row != 0 ? result.diagonalMoves : result.straightMoves);
        }
    }
    for (int cell : turns)
        result.turns.push_back(grid.cellVertex[cell]);
    result.cost = static_cast<double>(result.straightMoves) * grid.straightCost +
                  static_cast<double>(result.diagonalMoves) * grid.diagonalCost;
}

// The tables of every cell touched, in the order touched.
static void writeTables(const GridShape& grid, const std::vector<int>& touched, const std::vector<int>& touchedAt,
                        const std::vector<double>& g, const std::vector<int>& parent, int goalCell,
                        JumpSearch& result)
{
    for (std::size_t i = 0; i < touched.size(); ++i) {
        const int cell = touched[i];
        result.reached.push_back(grid.cellVertex[cell]);
        result.reachedAt.push_back(touchedAt[i]);
        result.parent.push_back(parent[cell] < 0 ? -1 : grid.cellVertex[parent[cell]]);
        result.g.push_back(g[cell]);
        result.h.push_back(octile(grid, cell, goalCell));
    }
}

JumpSearch jumpPointSearch(const GridShape& grid, int start, int goal, bool withTables)
{
    JumpSearch result;
    const int startCell = grid.vertexCell[start];
    const Jumper jumper{grid, grid.vertexCell[goal]};
    const std::size_t cells = grid.cellVertex.size();
    // Tables kept between searches; a cell's entries count only when its stamp
    // is this search's, so a search costs what it touches, not the grid's size.
    static std::vector<double> g;
    static std::vector<int> parent;
    static std::vector<char> closed;
    static std::vector<unsigned> stamp;
    static unsigned search = 0;
    if (stamp.size() != cells || ++search == 0) {
        stamp.assign(cells, 0);
        g.resize(cells), parent.resize(cells), closed.resize(cells);
        search = 1;
    }
    std::vector<int> touched, touchedAt;
    const auto touch = [&](int cell) {
        if (stamp[cell] != search) {
            stamp[cell] = search;
            g[cell] = HUGE_VAL, parent[cell] = -1, closed[cell] = 0;
            if (withTables) {
                touched.push_back(cell);
                touchedAt.push_back(static_cast<int>(result.jumpPoints.size()));
            }
        }
    };
    std::priority_queue<Waiting, std::vector<Waiting>, std::greater<Waiting>> waiting;
    long order = 0;
    touch(startCell);
    g[startCell] = 0.0;
    waiting.push({octile(grid, startCell, jumper.goalCell), order++, startCell});
    while (!waiting.empty()) {
        const int cell = waiting.top().cell;
        waiting.pop();
        if (closed[cell])
            continue; // an entry left behind by a cheaper one
        if (cell == jumper.goalCell) {
            result.found = true;
            unpack(grid, parent, cell, result);
            break;
        }
        closed[cell] = 1;
        result.jumpPoints.push_back(grid.cellVertex[cell]);
        const int column = cell % grid.width, row = cell / grid.width;
        const Directions ways = directionsFrom(grid, cell, parent[cell]);
        for (int k = 0; k < ways.count; ++k) {
            const Direction d = ways.way[k];
            const int next = jump(jumper, column, row, d);
            if (next < 0)
                continue;
            touch(next);
            if (closed[next])
                continue;
            const double cost = g[cell] + octile(grid, cell, next); // a jump is one straight or diagonal line
            if (cost < g[next]) {
                g[next] = cost;
                parent[next] = cell;
                waiting.push({cost + octile(grid, next, jumper.goalCell), order++, next});
            }
        }
    }
    if (withTables)
        writeTables(grid, touched, touchedAt, g, parent, jumper.goalCell, result);
    return result;
}
