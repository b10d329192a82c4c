#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "mapio/movingai.h"

namespace {

std::string mapText(const std::vector<std::string>& rows)
{
    std::string text = "type octile\nheight " + std::to_string(rows.size()) + "\nwidth " +
                       std::to_string(rows[0].size()) + "\nmap\n";
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}

} // namespace

TEST(MovingAiReader, RefusesMalformedTextWithOneLineAndChangesNothing)
{
    const std::string header = "type octile\nheight 2\nwidth 3\nmap\n";
    const std::string badHeight = "t.map:2: height must be a whole number from 1 to 65536";
    const struct {
        std::string text, error;
    } cases[] = {
        {"", "t.map:1: header ends early"},
        {"type octagonal\n", "t.map:1: expected \"type octile\""},
        {"type octile\nheight 0\n", badHeight},
        {"type octile\nheight 65537\n", badHeight},
        {"type octile\nheight 99999999999\n", badHeight},
        {"type octile\nheight 2\nheight 3\n", "t.map:3: expected \"height N\" and \"width N\", one each"},
        {"type octile\nheight 65536\nwidth 65536\n", "t.map:3: grid of 4294967296 cells is over the limit of 10000000"},
        {"type octile\nheight 5000\nwidth 2001\nmap\n", "t.map:3: grid of 10005000 cells is over the limit of 10000000"},
        {header + "...\n", "t.map:6: expected 2 rows, found 1"},
        {header + "...\n..\n", "t.map:6: row is 2 characters long, expected 3"},
        {header + "...\n...\n\n \n", "t.map:8: more than 2 rows"},
        {header + std::string("..\0\n...\n", 8), "t.map:5: binary byte 0x00"},
        {header + "...\r...\n", "t.map:5: stray carriage return"},
        {"type octile" + std::string(300, ' ') + "\n", "t.map:1: line is longer than 256 characters"},
    };
    for (const auto& test : cases) {
        Scene map;
        map.vertices.resize(1);
        GridInfo grid;
        grid.width = 99;
        std::string error;
        EXPECT_FALSE(parseMovingAi(test.text, "t.map", map, error, &grid)) << test.error;
        EXPECT_EQ(error, test.error);
        EXPECT_EQ(map.vertices.size(), 1u);
        EXPECT_EQ(grid.width, 99);
    }
    // Line endings, spacing, the order of height and width and trailing blank lines are free.
    Scene map;
    std::string error;
    EXPECT_TRUE(parseMovingAi("type\toctile\r\nwidth 3\r\nheight  2 \r\nmap\r\n.@.\r\nG.S\r\n\r\n", "t.map", map, error,
                              nullptr)) << error;
    EXPECT_EQ(map.vertices.size(), 5u);
}

// Only CR LF or LF end a line; blank lines may follow the rows, and every
// line, blank or not, counts in the numbers errors give.
TEST(MovingAiReader, LineEndsBlankTailsAndLongLines)
{
    using namespace std::string_literals;
    const std::string header = "type octile\nheight 1\nwidth 2\nmap\n";
    const std::string spaced = "type octile" + std::string(245, ' ');
    const std::pair<std::string, std::string> cases[] = {
        {header + "..\n", "2"},
        {"type octile\r\nheight 1\r\nwidth 2\r\nmap\r\n.@\r\n", "1"},
        {header + "..", "2"},
        {header + "..\n\n\r\n\n", "2"},
        {header + "..\n \n", "e.map:6: more than 1 rows"},
        {header + "..\n\n\n..", "e.map:8: more than 1 rows"},
        {header + ".\r.\n", "e.map:5: stray carriage return"},
        {header + "..\r", "e.map:5: stray carriage return"},
        {header + "..\n\r", "e.map:6: stray carriage return"},
        {header + "..\r\r\n", "e.map:5: stray carriage return"},
        {"", "e.map:1: header ends early"},
        {"type octile\nheight 1\nwidth 2", "e.map:4: header ends early"},
        {"\n\n", "e.map:1: expected \"type octile\""},
        {"\r\n", "e.map:1: expected \"type octile\""},
        {header, "e.map:5: expected 1 rows, found 0"},
        {header + "\n..\n", "e.map:5: row is 0 characters long, expected 2"},
        {header + ".\0\n"s, "e.map:5: binary byte 0x00"},
        {"\0"s, "e.map:1: binary byte 0x00"},
        {header + "...\n", "e.map:5: row is 3 characters long, expected 2"},
        {spaced + "\nheight 1\nwidth 2\nmap\n..\n", "2"},
        {spaced + "\r\nheight 1\nwidth 2\nmap\n..\n", "2"},
        {spaced + " \nheight 1\nwidth 2\nmap\n..\n", "e.map:1: line is longer than 256 characters"},
    };
    for (const auto& [text, outcome] : cases) {
        Scene map;
        std::string error;
        const bool read = parseMovingAi(text, "e.map", map, error, nullptr);
        EXPECT_EQ(read ? std::to_string(map.vertices.size()) : error, outcome) << text;
    }
}

// Cell sizes that no float step divides evenly: every straight link must still
// cost exactly one cell and every diagonal the same, or lengths would drift.
TEST(MovingAiReader, CostsAreExactlyOneCellOrOneDiagonalWhateverTheSize)
{
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{333, 7}, {7, 997}, {1, 1}}) {
        GridInfo grid;
        Scene map;
        std::string error;
        ASSERT_TRUE(parseMovingAi(mapText(std::vector<std::string>(height, std::string(width, '.'))), "t.map", map,
                                  error, &grid));
        const double fitting = std::min(800.0 / width, 600.0 / height);
        EXPECT_TRUE(grid.cellSize <= fitting && grid.cellSize > 0.99 * fitting);
        const float diagonal = std::sqrt(static_cast<float>(grid.cellSize * grid.cellSize) * 2.0f);
        for (const Vertex& vertex : map.vertices) {
            EXPECT_TRUE(vertex.x > 0.0f && vertex.x < 800.0f && vertex.y > 0.0f && vertex.y < 600.0f);
            for (int i = 0; i < vertex.linkCount; ++i) {
                const Vertex& other = map.vertices[vertex.links[i].to];
                const bool straight = vertex.x == other.x || vertex.y == other.y;
                ASSERT_EQ(vertex.links[i].cost, straight ? static_cast<float>(grid.cellSize) : diagonal);
            }
        }
        EXPECT_TRUE(sceneIsConsistent(map));
    }
}

TEST(MovingAiReader, LinksInCompassOrderWithoutCuttingCorners)
{
    const struct {
        std::vector<std::string> rows;
        int x, y;
        std::vector<int> neighbourCells; // row-major cell numbers, in link order
    } cases[] = {
        {{"...", "...", "..."}, 1, 1, {1, 2, 5, 8, 7, 6, 3, 0}}, // N NE E SE S SW W NW
        // One blocked side forbids the diagonal, seen from either end.
        {{".@", ".."}, 0, 0, {2}},
        {{".@", "@."}, 0, 0, {}},
        {{".T.", "S.G", ".W."}, 1, 1, {5, 3}},
        {{"...", ".@.", "..."}, 2, 1, {2, 8}},
    };
    for (const auto& test : cases) {
        GridInfo grid;
        Scene map;
        std::string error;
        ASSERT_TRUE(parseMovingAi(mapText(test.rows), "t.map", map, error, &grid));
        const Vertex& vertex = map.vertices[grid.cellVertex[test.y * grid.width + test.x]];
        std::vector<int> cells;
        for (int i = 0; i < vertex.linkCount; ++i)
            cells.push_back(static_cast<int>(std::find(grid.cellVertex.begin(), grid.cellVertex.end(),
                                                       vertex.links[i].to) - grid.cellVertex.begin()));
        EXPECT_EQ(cells, test.neighbourCells) << test.rows[0] << "/" << test.rows[1] << " at " << test.x;
        EXPECT_TRUE(sceneIsConsistent(map));
    }
}
