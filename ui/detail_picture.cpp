#include "ui/detail_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graph/vertex_grid.h"

// Levels stop merging once this few points are left.
constexpr std::size_t kFewestPoints = 4000;
constexpr int kMostLevels = 24;
constexpr std::uint8_t kPoint = 1, kLink = 2;
constexpr double kWidestCell = 2.0; // pixels

static std::vector<DetailLevel> levels;
static std::uint64_t levelsRevision = 0;
static bool levelsBuilt = false;

static std::uint64_t pairKey(int a, int b)
{
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(std::min(a, b))) << 32 |
           static_cast<std::uint32_t>(std::max(a, b));
}

static void keepLinks(std::vector<std::uint64_t>& keys, std::vector<int>& ends)
{
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    ends.clear();
    for (std::uint64_t key : keys) {
        ends.push_back(static_cast<int>(key >> 32));
        ends.push_back(static_cast<int>(key & 0xFFFFFFFFu));
    }
}

static DetailLevel firstLevel(const std::vector<Vertex>& vertices)
{
    DetailLevel level;
    level.xy.reserve(2 * vertices.size());
    std::vector<int> pointOf(vertices.size(), -1);
    for (std::size_t i = 0; i < vertices.size(); ++i)
        if (std::isfinite(vertices[i].x) && std::isfinite(vertices[i].y)) {
            pointOf[i] = static_cast<int>(level.xy.size() / 2);
            level.xy.push_back(vertices[i].x);
            level.xy.push_back(vertices[i].y);
        }
    std::vector<std::uint64_t> keys;
    std::size_t links = 0;
    for (const Vertex& vertex : vertices)
        links += static_cast<std::size_t>(vertex.linkCount);
    keys.reserve(links / 2);
    for (std::size_t i = 0; i < vertices.size(); ++i)
        for (int l = 0; l < vertices[i].linkCount; ++l) {
            const int a = pointOf[i], b = pointOf[static_cast<std::size_t>(vertices[i].links[l].to)];
            if (a >= 0 && b >= 0 && a < b)
                keys.push_back(pairKey(a, b));
        }
    keepLinks(keys, level.ends);
    return level;
}

// A cell, by its column and row as whole doubles (any float map's fit), and
// the point standing for it; point -1 marks an empty slot.
struct CellSlot {
    double column = 0.0, row = 0.0;
    int point = -1;
};

static std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The slot of cell (column, row) in table (open addressing, a power of two
// long and never full): its own, or the empty one where it belongs.
static CellSlot& slotOf(std::vector<CellSlot>& table, double column, double row)
{
    const std::size_t mask = table.size() - 1;
    // splitmix64's finaliser: whole numbers as doubles have only high bits set.
    std::uint64_t hash = bitsOf(column) ^ (bitsOf(row) * 0x9E3779B97F4A7C15u + (bitsOf(row) >> 17));
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9u;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBu;
    hash ^= hash >> 31;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        CellSlot& slot = table[at];
        if (slot.point < 0 || (slot.column == column && slot.row == row))
            return slot;
    }
}

// below's points merged into cells of cellSize: the first point of a cell stands for it.
static DetailLevel mergedLevel(const DetailLevel& below, double cellSize)
{
    DetailLevel level;
    level.cellSize = cellSize;
    std::vector<int> pointOf(below.xy.size() / 2);
    std::size_t slots = 16;
    while (slots < 2 * pointOf.size())
        slots *= 2;
    std::vector<CellSlot> cells(slots);
    for (std::size_t p = 0; p < pointOf.size(); ++p) {
        // + 0.0 makes -0 the same cell as 0.
        const double column = std::floor(below.xy[2 * p] / cellSize) + 0.0;
        const double row = std::floor(below.xy[2 * p + 1] / cellSize) + 0.0;
        CellSlot& slot = slotOf(cells, column, row);
        if (slot.point < 0) {
            slot = CellSlot{column, row, static_cast<int>(level.xy.size() / 2)};
            level.xy.push_back(below.xy[2 * p]);
            level.xy.push_back(below.xy[2 * p + 1]);
        }
        pointOf[p] = slot.point;
    }
    std::vector<std::uint64_t> keys;
    keys.reserve(below.ends.size() / 2);
    for (std::size_t e = 0; e < below.ends.size(); e += 2) {
        const int a = pointOf[static_cast<std::size_t>(below.ends[e])];
        const int b = pointOf[static_cast<std::size_t>(below.ends[e + 1])];
        if (a != b)
            keys.push_back(pairKey(a, b));
    }
    keepLinks(keys, level.ends);
    return level;
}

static int tileOf(const DetailLevel& level, float x, float y)
{
    const auto clampTile = [](double at) {
        return at >= 0.0 ? static_cast<int>(std::min<double>(at, kDetailTiles - 1)) : 0;
    };
    return clampTile((x - level.left) / level.tileSize) * kDetailTiles + clampTile((y - level.top) / level.tileSize);
}

// Sorts the level's points by tile (columns of tiles, each top to bottom) and
// its links by the tile of their first end, renumbering the ends.
static void tileLevel(DetailLevel& level)
{
    const std::size_t points = level.xy.size() / 2;
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    for (std::size_t p = 0; p < points; ++p) {
        left = std::min(left, static_cast<double>(level.xy[2 * p]));
        right = std::max(right, static_cast<double>(level.xy[2 * p]));
        top = std::min(top, static_cast<double>(level.xy[2 * p + 1]));
        bottom = std::max(bottom, static_cast<double>(level.xy[2 * p + 1]));
    }
    const std::size_t tiles = static_cast<std::size_t>(kDetailTiles) * kDetailTiles;
    level.left = points == 0 ? 0.0 : left;
    level.top = points == 0 ? 0.0 : top;
    const double side = points == 0 ? 0.0 : std::max(right - left, bottom - top);
    level.tileSize = side > 0.0 ? side / kDetailTiles * (1.0 + 1e-9) : 1.0;
    std::vector<int> tileOfPoint(points);
    level.pointStart.assign(tiles + 1, 0);
    for (std::size_t p = 0; p < points; ++p) {
        tileOfPoint[p] = tileOf(level, level.xy[2 * p], level.xy[2 * p + 1]);
        ++level.pointStart[static_cast<std::size_t>(tileOfPoint[p]) + 1];
    }
    for (std::size_t t = 0; t < tiles; ++t)
        level.pointStart[t + 1] += level.pointStart[t];
    std::vector<int> next(level.pointStart.begin(), level.pointStart.end() - 1), renumbered(points);
    std::vector<float> xy(level.xy.size());
    for (std::size_t p = 0; p < points; ++p) {
        const int to = next[static_cast<std::size_t>(tileOfPoint[p])]++;
        renumbered[p] = to;
        xy[2 * static_cast<std::size_t>(to)] = level.xy[2 * p];
        xy[2 * static_cast<std::size_t>(to) + 1] = level.xy[2 * p + 1];
    }
    level.xy.swap(xy);
    const std::size_t links = level.ends.size() / 2;
    level.linkStart.assign(tiles + 1, 0);
    double longestSquare = 0.0;
    for (int& end : level.ends)
        end = renumbered[static_cast<std::size_t>(end)];
    std::vector<int> tileOfLink(links);
    for (std::size_t e = 0; e < links; ++e) {
        const std::size_t a = static_cast<std::size_t>(level.ends[2 * e]), b = static_cast<std::size_t>(level.ends[2 * e + 1]);
        tileOfLink[e] = tileOf(level, level.xy[2 * a], level.xy[2 * a + 1]);
        ++level.linkStart[static_cast<std::size_t>(tileOfLink[e]) + 1];
        const double dx = static_cast<double>(level.xy[2 * a]) - level.xy[2 * b];
        const double dy = static_cast<double>(level.xy[2 * a + 1]) - level.xy[2 * b + 1];
        longestSquare = std::max(longestSquare, dx * dx + dy * dy);
    }
    // Squares of float differences stay far inside double's range.
    level.longestLink = std::sqrt(longestSquare);
    for (std::size_t t = 0; t < tiles; ++t)
        level.linkStart[t + 1] += level.linkStart[t];
    std::vector<int> ends(level.ends.size());
    next.assign(level.linkStart.begin(), level.linkStart.end() - 1);
    for (std::size_t e = 0; e < links; ++e) {
        const std::size_t to = static_cast<std::size_t>(next[static_cast<std::size_t>(tileOfLink[e])]++);
        ends[2 * to] = level.ends[2 * e];
        ends[2 * to + 1] = level.ends[2 * e + 1];
    }
    level.ends.swap(ends);
}

void buildDetailLevels(std::vector<DetailLevel>& built, const std::vector<Vertex>& vertices, double baseCell)
{
    built.clear();
    built.push_back(firstLevel(vertices));
    if (!(baseCell > 0.0) || !std::isfinite(baseCell)) {
        tileLevel(built.back());
        return;
    }
    double cellSize = baseCell;
    for (int k = 1; k < kMostLevels && built.back().xy.size() / 2 > kFewestPoints; ++k, cellSize *= 2.0)
        built.push_back(mergedLevel(built.back(), cellSize));
    for (DetailLevel& level : built)
        tileLevel(level);
}

const std::vector<DetailLevel>& sceneDetailLevels()
{
    if (!levelsBuilt || levelsRevision != layoutRevision()) {
        // About two vertices a grid cell: a quarter of a cell is under a spacing.
        buildDetailLevels(levels, scene.vertices, sceneGrid().cellSize / 4.0);
        levelsRevision = layoutRevision();
        levelsBuilt = true;
    }
    return levels;
}

std::size_t detailLevelFor(const std::vector<DetailLevel>& built, float scale)
{
    std::size_t chosen = 0;
    for (std::size_t k = 1; k < built.size(); ++k)
        if (built[k].cellSize * scale <= kWidestCell)
            chosen = k;
    return chosen;
}

// The pixel (column, row from the top) of map point (x, y); false far outside.
static bool pixelOf(const ViewTransform& view, float x, float y, int width, int height, float& column, float& row)
{
    column = (x - view.left) * view.scale;
    row = (y - view.top) * view.scale;
    return column > -2.0f - width && column < 2.0f * width + 2.0f && row > -2.0f - height && row < 2.0f * height + 2.0f;
}

static void markPixel(std::vector<std::uint8_t>& marks, int width, int height, int column, int row)
{
    if (column >= 0 && column < width && row >= 0 && row < height)
        marks[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)] |= kLink;
}

// floor(x) for x above -offset, offset a whole number under 2^22: a
// truncation of a positive float, which compiles to one instruction where
// floor needs several without SSE4.1, and frames spend most of their time here.
static int floorAbove(float x, int offset)
{
    return static_cast<int>(x + static_cast<float>(offset)) - offset;
}

// The pixels from one end's to the other's, stepping one pixel along the longer axis.
static void markLine(std::vector<std::uint8_t>& marks, int width, int height, float x0, float y0, float x1, float y1)
{
    // Ends lie within a window's size beyond it (pixelOf), so this offset keeps every step positive.
    const int offset = 4 * (width + height) + 16;
    const int c0 = floorAbove(x0 + 0.5f, offset), r0 = floorAbove(y0 + 0.5f, offset);
    const int c1 = floorAbove(x1 + 0.5f, offset), r1 = floorAbove(y1 + 0.5f, offset);
    const int steps = std::max(std::abs(c1 - c0), std::abs(r1 - r0));
    if (steps <= 1) {
        markPixel(marks, width, height, c0, r0);
        markPixel(marks, width, height, c1, r1);
        return;
    }
    const float stepX = static_cast<float>(c1 - c0) / static_cast<float>(steps);
    const float stepY = static_cast<float>(r1 - r0) / static_cast<float>(steps);
    float x = static_cast<float>(c0) + 0.5f, y = static_cast<float>(r0) + 0.5f;
    for (int s = 0; s <= steps; ++s, x += stepX, y += stepY)
        markPixel(marks, width, height, floorAbove(x, offset), floorAbove(y, offset));
}

struct Rgba {
    std::uint8_t channels[4];
};

static Rgba rgbaOf(const Colour& colour, std::uint8_t alpha)
{
    return Rgba{{static_cast<std::uint8_t>(std::lround(colour.red * 255.0f)),
                 static_cast<std::uint8_t>(std::lround(colour.green * 255.0f)),
                 static_cast<std::uint8_t>(std::lround(colour.blue * 255.0f)), alpha}};
}

void paintDetail(std::vector<std::uint8_t>& rgba, int width, int height, const ViewTransform& view,
                 const DetailLevel& level, const Colour& groundColour, const Colour& pointColour,
                 const Colour& linkColour)
{
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0)), h = static_cast<std::size_t>(std::max(height, 0));
    std::vector<std::uint8_t> marks(w * h, 0);
    // The tiles within a dot's reach (points) and a link's length (links) of the window.
    const double scale = view.scale;
    const auto tileRange = [&](double reach, int& t0, int& t1, double origin, float viewOrigin, int pixels) {
        const double from = (viewOrigin - reach - 2.0 / scale - origin) / level.tileSize;
        const double to = (viewOrigin + (pixels + 2.0) / scale + reach - origin) / level.tileSize;
        t0 = from < 0.0 ? 0 : from >= kDetailTiles ? kDetailTiles : static_cast<int>(from);
        t1 = to < 0.0 ? -1 : to >= kDetailTiles ? kDetailTiles - 1 : static_cast<int>(to);
    };
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    tileRange(0.0, x0, x1, level.left, view.left, width);
    tileRange(0.0, y0, y1, level.top, view.top, height);
    for (int tx = x0; tx <= x1; ++tx)
        for (std::size_t p = static_cast<std::size_t>(level.pointStart[static_cast<std::size_t>(tx * kDetailTiles + y0)]);
             y0 <= y1 && p < static_cast<std::size_t>(level.pointStart[static_cast<std::size_t>(tx * kDetailTiles + y1) + 1]);
             ++p) {
        float column = 0.0f, row = 0.0f;
        if (!pixelOf(view, level.xy[2 * p], level.xy[2 * p + 1], width, height, column, row))
            continue;
        const int c = static_cast<int>(std::floor(column + 0.5f)), r = static_cast<int>(std::floor(row + 0.5f));
        for (int y = std::max(r - 1, 0); y <= std::min(r + 1, height - 1); ++y)
            for (int x = std::max(c - 1, 0); x <= std::min(c + 1, width - 1); ++x)
                marks[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)] |= kPoint;
    }
    tileRange(level.longestLink, x0, x1, level.left, view.left, width);
    tileRange(level.longestLink, y0, y1, level.top, view.top, height);
    for (int tx = x0; tx <= x1; ++tx)
        for (std::size_t e = 2 * static_cast<std::size_t>(level.linkStart[static_cast<std::size_t>(tx * kDetailTiles + y0)]);
             y0 <= y1 && e < 2 * static_cast<std::size_t>(level.linkStart[static_cast<std::size_t>(tx * kDetailTiles + y1) + 1]);
             e += 2) {
        const std::size_t a = static_cast<std::size_t>(level.ends[e]), b = static_cast<std::size_t>(level.ends[e + 1]);
        float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
        const bool nearA = pixelOf(view, level.xy[2 * a], level.xy[2 * a + 1], width, height, x0, y0);
        const bool nearB = pixelOf(view, level.xy[2 * b], level.xy[2 * b + 1], width, height, x1, y1);
        // A long link from far off is still drawn, cut to the window.
        if (!nearA || !nearB) {
            const float left = std::max(std::min(x0, x1), -1.0f), right = std::min(std::max(x0, x1), width + 1.0f);
            const float top = std::max(std::min(y0, y1), -1.0f), bottom = std::min(std::max(y0, y1), height + 1.0f);
            if (!(left <= right && top <= bottom))
                continue;
            const float dx = x1 - x0, dy = y1 - y0;
            float t0 = 0.0f, t1 = 1.0f;
            const float bounds[4][2] = {{-dx, x0 + 1.0f}, {dx, width + 1.0f - x0}, {-dy, y0 + 1.0f}, {dy, height + 1.0f - y0}};
            for (const auto& [p, q] : bounds) {
                if (p == 0.0f) {
                    if (q < 0.0f)
                        t0 = 2.0f;
                    continue;
                }
                const float t = q / p;
                if (p < 0.0f)
                    t0 = std::max(t0, t);
                else
                    t1 = std::min(t1, t);
            }
            if (t0 > t1)
                continue;
            const float sx = x0 + dx * t0, sy = y0 + dy * t0;
            x1 = x0 + dx * t1;
            y1 = y0 + dy * t1;
            x0 = sx;
            y0 = sy;
        }
        markLine(marks, width, height, x0, y0, x1, y1);
    }
    // Indexed by the marks: nothing, a point, a link, both.
    const Rgba colours[4] = {rgbaOf(groundColour, 0), rgbaOf(pointColour, 0), rgbaOf(linkColour, 255),
                             rgbaOf(linkColour, 255)};
    rgba.resize(w * h * 4);
    for (std::size_t row = 0; row < h; ++row) {
        std::uint8_t* out = rgba.data() + (h - 1 - row) * w * 4;
        const std::uint8_t* mark = marks.data() + row * w;
        for (std::size_t column = 0; column < w; ++column, out += 4)
            std::copy(colours[mark[column]].channels, colours[mark[column]].channels + 4, out);
    }
}
