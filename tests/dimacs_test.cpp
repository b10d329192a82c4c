#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <filesystem>

#include "files/line_source.h"
#include "files/progress.h"
#include "mapio/dimacs.h"
#include "mapio/map_file.h"
#include "mapio/osm.h"
#include "tests/road_map_helpers.h"

namespace {

const std::string kData = VIALOOM_TEST_DATA;

const std::string kGr = "p sp 3 4\na 1 2 7\na 2 1 7\na 2 3 9\na 3 2 9\n";
const std::string kCo = "p aux sp co 3\nv 1 -73000000 40000000\nv 2 -73001000 40000000\nv 3 -73001000 40001000\n";

bool parse(const std::string& gr, const std::string& co, Scene& map, std::string& error, long* dropped = nullptr)
{
    return parseDimacs(gr, "g.gr", co, "g.co", map, error, dropped);
}

} // namespace

TEST(ParseDimacs, RefusesFaultsWithFileAndLine)
{
    // .gr text, .co text, the error.
    const std::vector<std::array<std::string, 3>> cases = {
        {"", kCo, "g.gr: no \"p sp NODES ARCS\" line"},
        {"a 1 2 7\n", kCo, "g.gr:1: arc before the problem line"},
        {"p sp 3\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p max 3 4\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p sp 0 0\n", kCo, "g.gr:1: node count 0 outside 1..10000000"},
        {"p sp 10000001 0\n", kCo, "g.gr:1: node count 10000001 outside 1..10000000"},
        {"p sp 99999999999999999999 0\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p sp 3 4\np sp 3 4\n", kCo, "g.gr:2: second problem line"},
        {"c\np sp 3 4\na 1 2\n", kCo, "g.gr:3: expected \"a FROM TO LENGTH\""},
        {"p sp 3 4\na 1 2 -1\n", kCo, "g.gr:2: expected \"a FROM TO LENGTH\""},
        {"p sp 3 4\na 1 +2 1\n", kCo, "g.gr:2: expected \"a FROM TO LENGTH\""},
        {"p sp 3 4\na 1 2 1 1\n", kCo, "g.gr:2: expected \"a FROM TO LENGTH\""},
        {"p sp 3 4\na 0 2 7\n", kCo, "g.gr:2: node 0 outside 1..3"},
        {"p sp 3 4\na 1 4 7\n", kCo, "g.gr:2: node 4 outside 1..3"},
        {"p sp 3 1\na 1 2 7\na 2 1 7\n", kCo, "g.gr:3: more arcs than the 1 declared"},
        {"p sp 3 4\na 1 2 7\na 2 1 7\n", kCo, "g.gr: 2 arcs where 4 are declared"},
        {"p sp 3 4\nx 1 2 7\n", kCo, "g.gr:2: expected a \"c\", \"p\" or \"a\" line"},
        {kGr, "", "g.co: no \"p aux sp co NODES\" line"},
        {kGr, "v 1 0 0\n", "g.co:1: coordinates before the problem line"},
        {kGr, "p aux sp co 4\n", "g.co:1: 4 nodes where the graph has 3"},
        {kGr, "p aux sp 3\n", "g.co:1: expected \"p aux sp co NODES\""},
        {kGr, "p aux sp co 3\nv 1 0 0.5\n", "g.co:2: expected \"v ID X Y\""},
        {kGr, "p aux sp co 3\nv 4 0 0\n", "g.co:2: node 4 outside 1..3"},
        {kGr, "p aux sp co 3\nv 1 0 0\n\nv 1 0 0\n", "g.co:4: node 1 given twice"},
        {kGr, "p aux sp co 3\nv 1 180000001 0\n", "g.co:2: longitude 180000001 outside -180000000..180000000"},
        {kGr, "p aux sp co 3\nv 1 0 -90000001\n", "g.co:2: latitude -90000001 outside -90000000..90000000"},
        {kGr, "p aux sp co 3\nv 1 0 0\nv 3 0 0\n", "g.co: node 2 has no coordinates"},
        {kGr, "p aux sp co 3\nv 1 0 0\ne 3 0 0\n", "g.co:3: expected a \"c\", \"p\" or \"v\" line"},
    };
    for (const auto& [gr, co, says] : cases) {
        Scene map;
        map.vertices.resize(2);
        std::string error;
        EXPECT_FALSE(parse(gr, co, map, error)) << says;
        EXPECT_EQ(error, says);
        EXPECT_EQ(map.vertices.size(), 2u);
    }
}

// CR LF and LF end lines, as does a CR ending the text; any other CR stays in
// its field. Read from memory or from files, the outcome is the same.
TEST(ParseDimacs, LineEndsAndBlankLinesAlikeFromMemoryAndFiles)
{
    using namespace std::string_literals;
    const std::string folder = scratchFolder();
    const std::string gr = folder + "/e.gr", co = folder + "/e.co";
    const std::string arcs = "p sp 3 1\na 1 2 5";
    const std::vector<std::array<std::string, 3>> cases = {
        {arcs + "\n", kCo, "3"},
        {"p sp 3 1\r\na 1 2 5\r\n", "p aux sp co 3\r\nv 1 0 0\r\nv 2 9 9\r\nv 3 1 1\r\n", "3"},
        {arcs, "p aux sp co 3\nv 1 0 0\nv 2 9 9\nv 3 1 1", "3"},
        {arcs + "\r", "p aux sp co 3\nv 1 0 0\nv 2 9 9\nv 3 1 1\r", "3"},
        {"\n\r\n \t\n" + arcs + "\n\n\r\n", kCo, "3"},
        {arcs + "\n\r", kCo, "3"},
        {"p sp 3 1\na 1 2\r5\n", kCo, gr + ":2: expected \"a FROM TO LENGTH\""},
        {"p sp 3 1\na 1 2 5\r\r\n", kCo, gr + ":2: expected \"a FROM TO LENGTH\""},
        {"p sp 3 1\na 1 2 5\r\r", kCo, gr + ":2: expected \"a FROM TO LENGTH\""},
        {"p sp 3 1\n\r\r\n", kCo, gr + ":2: expected a \"c\", \"p\" or \"a\" line"},
        {"p sp 3 1\r a 1 2 5\n", kCo, gr + ":1: expected \"p sp NODES ARCS\""},
        {"", kCo, gr + ": no \"p sp NODES ARCS\" line"},
        {"\n\r\n\t\n", kCo, gr + ": no \"p sp NODES ARCS\" line"},
        {arcs, "\n\n", co + ": no \"p aux sp co NODES\" line"},
        {arcs + "\0\n"s, kCo, gr + ":2: expected \"a FROM TO LENGTH\""},
        {"c \0\n"s + arcs, kCo, "3"},
    };
    for (const auto& [grText, coText, outcome] : cases) {
        std::ofstream(gr, std::ios::binary) << grText;
        std::ofstream(co, std::ios::binary) << coText;
        Scene fromMemory, fromFiles;
        std::string memoryError, fileError;
        const bool readFromMemory = parseDimacs(grText, gr, coText, co, fromMemory, memoryError, nullptr);
        const bool readFromFiles = readDimacsFile(gr, fromFiles, fileError);
        EXPECT_EQ(readFromMemory ? std::to_string(fromMemory.vertices.size()) : memoryError, outcome) << grText;
        EXPECT_EQ(readFromFiles ? std::to_string(fromFiles.vertices.size()) : fileError, outcome) << grText;
    }
    // Only files are held to a longest line.
    Scene map;
    std::string error;
    EXPECT_TRUE(parseDimacs("c " + std::string(kMaxLineBytes + 10, 'x') + "\n" + kGr, "m.gr", kCo, "m.co", map,
                            error, nullptr)) << error;
    std::filesystem::remove_all(folder);
}

TEST(ParseDimacs, OneLinkPerPairInArcOrder)
{
    const std::vector<std::pair<std::string, std::vector<std::vector<int>>>> cases = {
        {kGr, {{1}, {0, 2}, {1}}},
        {"p sp 3 2\na 3 2 9\na 1 2 7\n", {{1}, {2, 0}, {1}}},
        {"p sp 3 5\na 1 1 1\na 1 2 7\na 1 2 8\na 2 1 7\na 2 2 1\n", {{1}, {0}, {}}},
        {"p sp 3 0\n", {{}, {}, {}}},
        {"c x\r\n\r\np\tsp 3  1\r\n  a 2\t3 5\r\nc end", {{}, {2}, {1}}},
    };
    // Both directions; one is enough; self-loops and repeats; no arcs; comments, blanks, tabs and CRLF.
    for (const auto& [gr, links] : cases) {
        Scene map;
        std::string error;
        ASSERT_TRUE(parse(gr, kCo, map, error)) << gr << ": " << error;
        EXPECT_EQ(linkTargets(map), links) << gr;
        EXPECT_TRUE(sceneIsConsistent(map)) << gr;
    }
}

TEST(ParseDimacs, WeightsAreCostsAndPlacesShrinkEastWestByTheCentreLatitude)
{
    Scene map;
    std::string error;
    ASSERT_TRUE(parse(kGr, kCo, map, error)) << error;
    EXPECT_EQ(map.vertices[0].links[0].cost, 7.0f);
    EXPECT_EQ(map.vertices[2].links[0].cost, 9.0f);
    const float north = vertexDistance(map.vertices[2], map.vertices[1]);
    const float west = vertexDistance(map.vertices[0], map.vertices[1]);
    // 0.001 degrees north (111.195 m) spans the 580-pixel height; north is up.
    EXPECT_NEAR(north * map.metresPerUnit, 111.195, 1e-3);
    EXPECT_NEAR(north, 580.0f, 1e-3f);
    EXPECT_LT(map.vertices[2].y, map.vertices[1].y);
    // 0.001 degrees west is 111.195 m times cos 40.0005 degrees.
    EXPECT_NEAR(west * map.metresPerUnit, 85.180, 1e-3);
    EXPECT_LT(map.vertices[1].x, map.vertices[0].x);
}

TEST(ReadDimacs, ReadsTheCoordinatesBesideAndMatchesTheOsmReader)
{
    Scene fromDimacs, fromOsm;
    std::string error;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readMapFile(kData + "/roads.gr", fromDimacs, error)) << error;
    ASSERT_TRUE(readOsmFile(kData + "/roads.osm", fromOsm, error)) << error;
    testing::internal::GetCapturedStderr();
    // The same junction, numbered alike: the same floats bit for bit; only
    // the costs differ, the file's weights against lengths.
    EXPECT_EQ(fromDimacs.costUnit, CostUnit::FileUnits);
    for (Scene* map : {&fromDimacs, &fromOsm})
        for (Vertex& vertex : map->vertices)
            for (int i = 0; i < vertex.linkCount; ++i)
                vertex.links[i].cost = vertexDistance(vertex, map->vertices[vertex.links[i].to]);
    EXPECT_EQ(describeMap(fromDimacs), describeMap(fromOsm));
}

TEST(ReadDimacs, RefusesMissingFilesAndLongLines)
{
    const std::string folder = scratchFolder();
    std::ofstream(folder + "/alone.gr") << kGr;
    std::ofstream(folder + "/long.gr") << "c " << std::string(3 << 20, 'x') << "\n" << kGr;
    std::ofstream(folder + "/long.co") << kCo;
    mkdir((folder + "/dir.gr").c_str(), 0700);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/none.gr", "/none.gr: cannot open: no such file or directory"},
        {"/alone.gr", "/alone.co: cannot open: no such file or directory"},
        {"/dir.gr", "/dir.gr: cannot open: is a directory"},
        {"/long.gr", "/long.gr:1: line too long"},
    };
    for (const auto& [name, says] : cases) {
        Scene map;
        std::string error;
        EXPECT_FALSE(readDimacsFile(folder + name, map, error)) << name;
        EXPECT_EQ(error, folder + says);
    }
    std::filesystem::remove_all(folder);
}

TEST(ReadDimacs, LargeFilesShowProgressToTheEndOfBothFiles)
{
    const std::string folder = scratchFolder();
    std::string padding;
    for (int i = 0; i < 100000; ++i)
        padding += "c padding padding padding pad\n";
    std::ofstream(folder + "/big.gr") << kGr << padding;
    std::ofstream(folder + "/big.co") << padding << kCo;
    const std::string shownPath = folder + "/shown";
    std::FILE* stream = std::fopen(shownPath.c_str(), "w");
    progressRedirect(stream, true);
    Scene map;
    std::string error;
    EXPECT_TRUE(readDimacsFile(folder + "/big.gr", map, error)) << error;
    progressRedirect(nullptr, false);
    std::fclose(stream);
    // 100% only once both files are read, then the line is wiped.
    const std::string line = "\rvialoom: reading " + folder + "/big.gr... ";
    const std::string wipe = "\r" + std::string(line.size() - 1 + 4, ' ') + "\r";
    const std::string shown = readText(shownPath);
    EXPECT_EQ(shown.substr(0, line.size()), line);
    ASSERT_GE(shown.size(), line.size() + 4 + wipe.size());
    EXPECT_EQ(shown.substr(shown.size() - line.size() - 4 - wipe.size()), line + "100%" + wipe);
    std::filesystem::remove_all(folder);
}
