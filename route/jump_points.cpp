#include "route/jump_points.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

struct Direction {
    int column;
    int row;
};

struct Waiting {
    std::uint64_t score; // cost so far plus the octile estimate, a double >= 0 as its bits: they order alike
    std::uint32_t order; // first pushed, first taken among equal scores (wraps only past 2^32 pushes)
    int cell;
    bool operator>(const Waiting& other) const
    {
        return score != other.score ? score > other.score : order > other.order;
    }
};

// The jump points waiting, taken by (score, order). Most jumps lead on at
// the score just taken (the estimate is exact along a way to the goal): those
// line up in push order beside the heap, which keeps the rest. The line holds
// one score in rising order, so taking the smaller front of the two is
// exactly the heap's order, at a fraction of its work.
struct WaitingList {
    std::vector<Waiting> heap; // a heap under std::greater
    std::vector<Waiting> line; // all of one score, the last taken's when they joined
    std::size_t lineHead = 0;
    std::uint64_t taken = 0;   // score of the entry taken last
};

static void putWaiting(WaitingList& list, const Waiting& entry)
{
    const bool lineEmpty = list.lineHead == list.line.size();
    if (entry.score == list.taken && (lineEmpty || list.line.back().score == entry.score)) {
        list.line.push_back(entry);
        return;
    }
    list.heap.push_back(entry);
    std::push_heap(list.heap.begin(), list.heap.end(), std::greater<Waiting>());
}

// False when nothing waits.
static bool takeWaiting(WaitingList& list, Waiting& entry)
{
    const bool lineEmpty = list.lineHead == list.line.size();
    if (lineEmpty && list.heap.empty())
        return false;
    if (!lineEmpty && (list.heap.empty() || list.heap.front() > list.line[list.lineHead])) {
        entry = list.line[list.lineHead++];
        if (list.lineHead == list.line.size()) {
            list.line.clear();
            list.lineHead = 0;
        }
    } else {
        std::pop_heap(list.heap.begin(), list.heap.end(), std::greater<Waiting>());
        entry = list.heap.back();
        list.heap.pop_back();
    }
    list.taken = entry.score;
    return true;
}

static std::uint64_t scoreBits(double score)
{
    std::uint64_t bits;
    std::memcpy(&bits, &score, sizeof bits);
    return bits;
}

struct Jumper {
    const GridShape& grid;
    int goalCell;
    int goalColumn; // kept apart: a division a jump would cost more than the jump's scan
    int goalRow;
};

// What the search knows of a cell, in one place so a cell costs one cache
// line, not four. mark is the search's stamp times two, plus one once taken.
struct CellState {
    double g;
    int parent;
    std::uint32_t mark;
};

// Read from the bits, whose closed border answers for every cell one step
// outside the grid: the searches never ask further out.
static bool open(const GridShape& grid, int column, int row)
{
    const std::uint64_t word = grid.rowBits[static_cast<std::size_t>(row + 1) * grid.rowWords +
                                            static_cast<std::size_t>(column + 1) / 64];
    return (word >> ((column + 1) % 64) & 1) != 0;
}

// A diagonal move needs both cells beside it: no corner is cut.
static bool canStep(const GridShape& grid, int column, int row, Direction d)
{
    if (d.column != 0 && d.row != 0)
        return open(grid, column + d.column, row) && open(grid, column, row + d.row) &&
               open(grid, column + d.column, row + d.row);
    return open(grid, column + d.column, row + d.row);
}

// The first position past from, going up the line (forward) or down it,
// where the line stops being worth following (GridShape's stops). 64
// positions a word; the closed border ends every scan.
static int firstStop(const std::uint64_t* stops, int from, bool forward)
{
    const int step = forward ? 1 : -1;
    const int first = from + step;
    std::uint64_t word = stops[first >> 6];
    word &= forward ? ~std::uint64_t{0} << (first & 63) : ~std::uint64_t{0} >> (63 - (first & 63));
    for (int w = first >> 6;; w += step, word = stops[w]) {
        if (word != 0)
            return w * 64 + (forward ? __builtin_ctzll(word) : 63 - __builtin_clzll(word));
    }
}

// The jump point straight on from (column, row) along d, or -1.
static int jumpStraight(const Jumper& j, int column, int row, Direction d)
{
    const GridShape& grid = j.grid;
    const bool across = d.column != 0;
    const int lineIndex = (across ? row : column) + 1;
    const int words = across ? grid.rowWords : grid.columnWords;
    const std::size_t lineStart = static_cast<std::size_t>(lineIndex) * words;
    const int from = (across ? column : row) + 1;
    const bool forward = (across ? d.column : d.row) > 0;
    const std::vector<std::uint64_t>& stops = across ? grid.rowStops[forward ? 0 : 1] : grid.columnStops[forward ? 0 : 1];
    const int stop = firstStop(stops.data() + lineStart, from, forward);
    const int goalColumn = j.goalColumn, goalRow = j.goalRow;
    if (across ? goalRow == row : goalColumn == column) {
        const int goalAt = (across ? goalColumn : goalRow) + 1;
        if (forward ? goalAt > from && goalAt <= stop : goalAt < from && goalAt >= stop)
            return j.goalCell; // open all the way: the stop is at or past it
    }
    const std::uint64_t* own = (across ? grid.rowBits : grid.columnBits).data() + lineStart;
    if (!(own[stop >> 6] >> (stop & 63) & 1))
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

static double octile(const GridShape& grid, int fromColumn, int fromRow, int toColumn, int toRow)
{
    const long across = std::labs(static_cast<long>(fromColumn) - toColumn);
    const long down = std::labs(static_cast<long>(fromRow) - toRow);
    const long diagonal = std::min(across, down);
    return static_cast<double>(diagonal) * grid.diagonalCost +
           static_cast<double>(std::max(across, down) - diagonal) * grid.straightCost;
}

static double octile(const GridShape& grid, int from, int to)
{
    return octile(grid, from % grid.width, from / grid.width, to % grid.width, to / grid.width);
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

static Directions directionsFrom(const GridShape& grid, int column, int row, int parent)
{
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
static void unpack(const GridShape& grid, const std::vector<CellState>& state, int goalCell, JumpSearch& result)
{
    std::vector<int> turns;
    for (int cell = goalCell; cell >= 0; cell = state[static_cast<std::size_t>(cell)].parent)
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
                        const std::vector<CellState>& state, int goalCell, JumpSearch& result)
{
    for (std::size_t i = 0; i < touched.size(); ++i) {
        const int cell = touched[i];
        const int parent = state[static_cast<std::size_t>(cell)].parent;
        result.reached.push_back(grid.cellVertex[cell]);
        result.reachedAt.push_back(touchedAt[i]);
        result.parent.push_back(parent < 0 ? -1 : grid.cellVertex[parent]);
        result.g.push_back(state[static_cast<std::size_t>(cell)].g);
        result.h.push_back(octile(grid, cell, goalCell));
    }
}

JumpSearch jumpPointSearch(const GridShape& grid, int start, int goal, bool withTables)
{
    JumpSearch result;
    const int startCell = grid.vertexCell[start];
    const int goalCell = grid.vertexCell[goal];
    const Jumper jumper{grid, goalCell, goalCell % grid.width, goalCell / grid.width};
    const std::size_t cells = grid.cellVertex.size();
    // Kept between searches; a cell's state counts only when its mark is this
    // search's, so a search costs what it touches, not the grid's size.
    static std::vector<CellState> state;
    static std::uint32_t search = 0;
    if (state.size() != cells || ++search > 0x7fffffffu) {
        state.assign(cells, CellState{0.0, -1, 0});
        search = 1;
    }
    const std::uint32_t touchedMark = search * 2, takenMark = search * 2 + 1;
    std::vector<int> touched, touchedAt;
    const auto touch = [&](int cell) -> CellState& {
        CellState& at = state[static_cast<std::size_t>(cell)];
        if (at.mark >> 1 != search) {
            at = CellState{HUGE_VAL, -1, touchedMark};
            if (withTables) {
                touched.push_back(cell);
                touchedAt.push_back(static_cast<int>(result.jumpPoints.size()));
            }
        }
        return at;
    };
    static WaitingList waiting; // kept so that a search allocates nothing
    waiting.heap.clear();
    waiting.line.clear();
    waiting.lineHead = 0;
    waiting.taken = 0;
    std::uint32_t order = 0;
    touch(startCell).g = 0.0;
    putWaiting(waiting, {scoreBits(octile(grid, startCell, goalCell)), order++, startCell});
    for (Waiting top; takeWaiting(waiting, top);) {
        const int cell = top.cell;
        CellState& current = state[static_cast<std::size_t>(cell)];
        if (current.mark == takenMark)
            continue; // an entry left behind by a cheaper one
        if (cell == goalCell) {
            result.found = true;
            unpack(grid, state, cell, result);
            break;
        }
        current.mark = takenMark;
        result.jumpPoints.push_back(grid.cellVertex[cell]);
        const int column = cell % grid.width, row = cell / grid.width;
        const double g = current.g;
        const Directions ways = directionsFrom(grid, column, row, current.parent);
        for (int k = 0; k < ways.count; ++k) {
            const int next = jump(jumper, column, row, ways.way[k]);
            if (next < 0)
                continue;
            CellState& reached = touch(next);
            if (reached.mark == takenMark)
                continue;
            const int nextColumn = next % grid.width, nextRow = next / grid.width;
            // A jump is one straight or diagonal line.
            const double cost = g + octile(grid, column, row, nextColumn, nextRow);
            if (cost < reached.g) {
                reached.g = cost;
                reached.parent = cell;
                putWaiting(waiting, {scoreBits(cost + octile(grid, nextColumn, nextRow, jumper.goalColumn,
                                                             jumper.goalRow)),
                                     order++, next});
            }
        }
    }
    if (withTables)
        writeTables(grid, touched, touchedAt, state, goalCell, result);
    return result;
}
