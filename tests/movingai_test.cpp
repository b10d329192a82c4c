#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "mapio/movingai.h"

namespace {

std::string mapText(const std::vector<std::string>& rows)
{
    std::string text = "type octile\nheight " + std::to_string(rows.size()) + "\nwidth " +
                       std::to_string(rows.empty() ? 0 : rows[0].size()) + "\nmap\n";
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}

MapData parsed(const std::string& text, GridInfo* grid = nullptr)
{
    MapData map;
    std::string error;
    EXPECT_TRUE(parseMovingAi(text, "t.map", map, error, grid)) << error;
    return map;
}

// The cells a cell's vertex links to, as "x,y" in link-table order.
std::vector<std::string> neighbourCells(const MapData& map, const GridInfo& grid, int x, int y)
{
    std::vector<std::string> cells;
    const Vertex& vertex = map.vertices[grid.cellVertex[y * grid.width + x]];
    for (int i = 0; i < vertex.linkCount; ++i)
        for (int cell = 0; cell < grid.width * grid.height; ++cell)
            if (grid.cellVertex[cell] == vertex.links[i].to)
                cells.push_back(std::to_string(cell % grid.width) + "," + std::to_string(cell / grid.width));
    return cells;
}

} // namespace

TEST(MovingAiReader, RefusesMalformedTextWithOneLineAndChangesNothing)
{
    const std::string header = "type octile\nheight 2\nwidth 3\nmap\n";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "t.map:1: header ends early"},
        {"type octagonal\nheight 2\nwidth 3\nmap\n...\n...\n", "t.map:1: expected \"type octile\""},
        {"type octile extra\n", "t.map:1: expected \"type octile\""},
        {"type octile\nheight 2\n", "t.map:3: header ends early"},
        {"type octile\nheight 0\nwidth 3\nmap\n", "t.map:2: height must be a whole number from 1 to 65536"},
        {"type octile\nheight -2\n", "t.map:2: height must be a whole number from 1 to 65536"},
        {"type octile\nheight 2x\n", "t.map:2: height must be a whole number from 1 to 65536"},
        {"type octile\nheight 65537\n", "t.map:2: height must be a whole number from 1 to 65536"},
        {"type octile\nheight 99999999999\n", "t.map:2: height must be a whole number from 1 to 65536"},
        {"type octile\nheight 2\nwidth +3\n", "t.map:3: width must be a whole number from 1 to 65536"},
        {"type octile\nheight 2\nheight 3\n", "t.map:3: expected \"height N\" and \"width N\", one each"},
        {"type octile\nheight 2 3\n", "t.map:2: expected \"height N\" and \"width N\", one each"},
        {"type octile\nmap\n", "t.map:2: expected \"height N\" and \"width N\", one each"},
        {"type octile\nheight 2\nwidth 3\nmaps\n", "t.map:4: expected \"map\""},
        {"type octile\nheight 65536\nwidth 65536\nmap\n", "t.map:3: grid of 4294967296 cells is over the limit of 10000000"},
        {"type octile\nheight 5000\nwidth 2001\nmap\n", "t.map:3: grid of 10005000 cells is over the limit of 10000000"},
        {header, "t.map:5: expected 2 rows, found 0"},
        {header + "...\n", "t.map:6: expected 2 rows, found 1"},
        {header + "...\n..\n", "t.map:6: row is 2 characters long, expected 3"},
        {header + "....\n...\n", "t.map:5: row is 4 characters long, expected 3"},
        {header + "...\n...\n...\n", "t.map:7: more than 2 rows"},
        {header + "...\n...\n\n \n", "t.map:8: more than 2 rows"},
        {header + "...\n.\x01.\n", "t.map:6: binary byte 0x01"},
        {header + std::string("..\0\n...\n", 8), "t.map:5: binary byte 0x00"},
        {header + "...\n.\xc3\xa9\n", "t.map:6: binary byte 0xC3"},
        {header + "...\n..\x7f\n", "t.map:6: binary byte 0x7F"},
        {header + "...\r...\n", "t.map:5: stray carriage return"},
        {header + "...\n...\r", "t.map:6: stray carriage return"},
        {"type octile" + std::string(300, ' ') + "\n", "t.map:1: line is longer than 256 characters"},
    };
    for (const auto& test : cases) {
        MapData map;
        map.vertices.resize(1);
        map.startVertex = 0;
        GridInfo grid;
        grid.width = 99;
        std::string error;
        EXPECT_FALSE(parseMovingAi(test.text, "t.map", map, error, &grid)) << test.error;
        EXPECT_EQ(error, test.error);
        EXPECT_EQ(map.vertices.size(), 1u);
        EXPECT_EQ(map.startVertex, 0);
        EXPECT_EQ(grid.width, 99);
    }
}

TEST(MovingAiReader, RefusesFilesThatCannotBeRead)
{
    const std::string folder = testing::TempDir();
    const std::string huge = folder + "movingai-huge.map";
    std::FILE* file = std::fopen(huge.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(ftruncate(fileno(file), kMaxMovingAiFileBytes + 1), 0);
    std::fclose(file);
    const struct {
        std::string path;
        std::string error;
    } cases[] = {
        {folder + "movingai-absent.map", folder + "movingai-absent.map: cannot read: No such file or directory"},
        {std::string(VIALOOM_TEST_DATA), std::string(VIALOOM_TEST_DATA) + ": cannot read: is a folder"},
        {huge, huge + ": cannot read: larger than 16 MiB"},
    };
    for (const auto& test : cases) {
        MapData map;
        std::string error;
        EXPECT_FALSE(readMovingAiFile(test.path, map, error, nullptr));
        EXPECT_EQ(error, test.error);
    }
    std::remove(huge.c_str());
}

TEST(MovingAiReader, ToleratesLineEndingsSpacingHeaderOrderAndTrailingBlankLines)
{
    GridInfo grid;
    const MapData plain = parsed(mapText({".@.", "G.S"}), &grid);
    const std::string variants[] = {
        "type octile\r\nheight 2\r\nwidth 3\r\nmap\r\n.@.\r\nG.S\r\n",
        "type\toctile\nwidth 3\nheight  2 \nmap\n.@.\nG.S",
        "type octile\nheight 2\nwidth 3\nmap\n.@.\nG.S\n\n\r\n",
    };
    for (const std::string& text : variants) {
        GridInfo other;
        const MapData map = parsed(text, &other);
        ASSERT_EQ(map.vertices.size(), plain.vertices.size()) << text;
        EXPECT_EQ(other.cellVertex, grid.cellVertex);
        for (std::size_t i = 0; i < map.vertices.size(); ++i) {
            EXPECT_EQ(map.vertices[i].x, plain.vertices[i].x);
            EXPECT_EQ(map.vertices[i].y, plain.vertices[i].y);
            EXPECT_EQ(map.vertices[i].linkCount, plain.vertices[i].linkCount);
        }
    }
}

TEST(MovingAiReader, NumbersPassableCellsRowByRowAtCellCentres)
{
    GridInfo grid;
    const MapData map = parsed(mapText({".@T", "GSW", "O .", "..\t"}), &grid);
    EXPECT_EQ(grid.cellVertex, (std::vector<int>{0, -1, -1, 1, 2, -1, -1, -1, 3, 4, 5, -1}));
    ASSERT_EQ(map.vertices.size(), 6u);
    // 3 x 4 cells: 800 / 3 = 266.67 and 600 / 4 = 150, so the cells are 150
    // pixels wide, the grid 450 wide and 175 pixels in from the left.
    EXPECT_EQ(grid.cellSize, 150.0);
    EXPECT_EQ(map.vertices[0].x, 250.0f);
    EXPECT_EQ(map.vertices[0].y, 75.0f);
    EXPECT_EQ(map.vertices[5].x, 400.0f);
    EXPECT_EQ(map.vertices[5].y, 525.0f);
    EXPECT_EQ(map.startVertex, -1);
    EXPECT_EQ(map.goalVertex, -1);
    EXPECT_TRUE(mapIsConsistent(map));
}

// Cell sizes that no float step divides evenly: every straight link must still
// cost exactly one cell and every diagonal the same, or lengths would drift.
TEST(MovingAiReader, CostsAreExactlyOneCellOrOneDiagonalWhateverTheSize)
{
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{333, 7}, {7, 997}, {1, 1}, {3, 65536 / 64}}) {
        GridInfo grid;
        const MapData map = parsed(mapText(std::vector<std::string>(height, std::string(width, '.'))), &grid);
        ASSERT_EQ(static_cast<int>(map.vertices.size()), width * height);
        EXPECT_LE(grid.cellSize, std::min(800.0 / width, 600.0 / height));
        EXPECT_GT(grid.cellSize, 0.99 * std::min(800.0 / width, 600.0 / height));
        const float diagonal = std::sqrt(static_cast<float>(grid.cellSize * grid.cellSize) * 2.0f);
        for (const Vertex& vertex : map.vertices) {
            EXPECT_TRUE(vertex.x > 0.0f && vertex.x < 800.0f && vertex.y > 0.0f && vertex.y < 600.0f);
            for (int i = 0; i < vertex.linkCount; ++i) {
                const Vertex& other = map.vertices[vertex.links[i].to];
                const float cost = vertex.links[i].cost;
                ASSERT_EQ(cost, vertexDistance(vertex, other));
                const bool straight = vertex.x == other.x || vertex.y == other.y;
                ASSERT_EQ(cost, straight ? static_cast<float>(grid.cellSize) : diagonal) << width << "x" << height;
            }
        }
        EXPECT_TRUE(mapIsConsistent(map));
    }
}

TEST(MovingAiReader, LinksInCompassOrderWithoutCuttingCorners)
{
    const struct {
        std::vector<std::string> rows;
        int x, y;
        std::vector<std::string> neighbours;
    } cases[] = {
        // N, NE, E, SE, S, SW, W, NW.
        {{"...", "...", "..."}, 1, 1, {"1,0", "2,0", "2,1", "2,2", "1,2", "0,2", "0,1", "0,0"}},
        {{"..", ".."}, 0, 0, {"1,0", "1,1", "0,1"}},
        {{"..", ".."}, 1, 1, {"1,0", "0,1", "0,0"}},
        // One blocked side is enough to forbid the diagonal, from either end.
        {{".@", ".."}, 0, 0, {"0,1"}},
        {{".@", ".."}, 1, 1, {"0,1"}},
        {{"@.", ".."}, 0, 1, {"1,1"}},
        {{"@.", ".."}, 1, 0, {"1,1"}},
        {{".@", "@."}, 0, 0, {}},
        {{".T.", "S.G", ".W."}, 1, 1, {"2,1", "0,1"}},
        {{"...", ".@.", "..."}, 0, 0, {"1,0", "0,1"}},
        {{"...", ".@.", "..."}, 2, 1, {"2,0", "2,2"}},
    };
    for (const auto& test : cases) {
        GridInfo grid;
        const MapData map = parsed(mapText(test.rows), &grid);
        EXPECT_EQ(neighbourCells(map, grid, test.x, test.y), test.neighbours)
            << test.rows[0] << "/" << test.rows[1] << " at " << test.x << "," << test.y;
        EXPECT_TRUE(mapIsConsistent(map));
    }
}

TEST(MovingAiReader, ReadsTheHandMadeLab)
{
    MapData map;
    GridInfo grid;
    std::string error;
    ASSERT_TRUE(readMovingAiFile(VIALOOM_TEST_DATA "/lab.map", map, error, &grid)) << error;
    EXPECT_EQ(grid.width, 7);
    EXPECT_EQ(grid.height, 6);
    EXPECT_EQ(map.vertices.size(), 30u);
    EXPECT_EQ(grid.cellSize, 100.0);
    EXPECT_EQ(map.vertices[0].x, 100.0f);
    EXPECT_EQ(map.vertices[0].y, 50.0f);
}
