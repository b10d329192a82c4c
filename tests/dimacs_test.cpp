#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mapio/dimacs.h"
#include "mapio/map_file.h"
#include "mapio/osm.h"
#include "mapio/progress.h"

namespace {

const std::string kData = VIALOOM_TEST_DATA;

const std::string kGr = "p sp 3 4\na 1 2 7\na 2 1 7\na 2 3 9\na 3 2 9\n";
const std::string kCo = "p aux sp co 3\nv 1 -73000000 40000000\nv 2 -73001000 40000000\nv 3 -73001000 40001000\n";

bool parse(const std::string& gr, const std::string& co, MapData& map, std::string& error, long* dropped = nullptr)
{
    return parseDimacs(gr, "g.gr", co, "g.co", map, error, dropped);
}

std::vector<std::vector<int>> linkTargets(const MapData& map)
{
    std::vector<std::vector<int>> targets;
    for (const Vertex& vertex : map.vertices) {
        targets.emplace_back();
        for (int i = 0; i < vertex.linkCount; ++i)
            targets.back().push_back(vertex.links[i].to);
    }
    return targets;
}

} // namespace

TEST(ParseDimacs, RefusesFaultsWithFileAndLine)
{
    struct Case {
        std::string gr;
        std::string co;
        const char* error;
    };
    const std::string arcs = "a 1 2 7\na 2 1 7\na 2 3 9\na 3 2 9\n";
    const std::vector<Case> cases = {
        {"", kCo, "g.gr: no \"p sp NODES ARCS\" line"},
        {"c only a comment\n", kCo, "g.gr: no \"p sp NODES ARCS\" line"},
        {"a 1 2 7\n", kCo, "g.gr:1: arc before the problem line"},
        {"p sp 3\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p sp 3 4 5\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p max 3 4\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p sp -3 4\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p sp 0 0\n", kCo, "g.gr:1: node count 0 outside 1..10000000"},
        {"p sp 10000001 0\n", kCo, "g.gr:1: node count 10000001 outside 1..10000000"},
        {"p sp 99999999999999999999 0\n", kCo, "g.gr:1: expected \"p sp NODES ARCS\""},
        {"p sp 3 4\np sp 3 4\n", kCo, "g.gr:2: second problem line"},
        {"c\np sp 3 4\na 1 2\n", kCo, "g.gr:3: expected \"a FROM TO LENGTH\""},
        {"p sp 3 4\na 1 2 x\n", kCo, "g.gr:2: expected \"a FROM TO LENGTH\""},
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
        {kGr, "p aux sp co 3\np aux sp co 3\n", "g.co:2: second problem line"},
        {kGr, "p aux sp co 3\nv 1 0\n", "g.co:2: expected \"v ID X Y\""},
        {kGr, "p aux sp co 3\nv 1 0 0.5\n", "g.co:2: expected \"v ID X Y\""},
        {kGr, "p aux sp co 3\nv 4 0 0\n", "g.co:2: node 4 outside 1..3"},
        {kGr, "p aux sp co 3\nv 1 0 0\n\nv 1 0 0\n", "g.co:4: node 1 given twice"},
        {kGr, "p aux sp co 3\nv 1 180000001 0\n", "g.co:2: longitude 180000001 outside -180000000..180000000"},
        {kGr, "p aux sp co 3\nv 1 0 -90000001\n", "g.co:2: latitude -90000001 outside -90000000..90000000"},
        {kGr, "p aux sp co 3\nv 1 0 0\nv 3 0 0\n", "g.co: node 2 has no coordinates"},
        {kGr, "p aux sp co 3\nv 1 0 0\ne 3 0 0\n", "g.co:3: expected a \"c\", \"p\" or \"v\" line"},
    };
    for (const Case& bad : cases) {
        MapData map;
        map.vertices.resize(2);
        std::string error;
        EXPECT_FALSE(parse(bad.gr, bad.co, map, error)) << bad.error;
        EXPECT_EQ(error, bad.error);
        EXPECT_EQ(map.vertices.size(), 2u);
    }
}

TEST(ParseDimacs, OneLinkPerPairInArcOrder)
{
    struct Case {
        const char* what;
        std::string gr;
        std::vector<std::vector<int>> links;
    };
    const std::vector<Case> cases = {
        {"both directions", kGr, {{1}, {0, 2}, {1}}},
        {"one direction is enough", "p sp 3 2\na 3 2 9\na 1 2 7\n", {{1}, {2, 0}, {1}}},
        {"self-loops and repeats dropped", "p sp 3 5\na 1 1 0\na 1 2 7\na 1 2 8\na 2 1 7\na 2 2 1\n", {{1}, {0}, {}}},
        {"no arcs", "p sp 3 0\n", {{}, {}, {}}},
        {"comments, blanks, tabs and CRLF", "c x\r\n\r\np\tsp 3  1\r\n  a 2\t3 0\r\nc end", {{}, {2}, {1}}},
    };
    for (const Case& good : cases) {
        MapData map;
        std::string error;
        ASSERT_TRUE(parse(good.gr, kCo, map, error)) << good.what << ": " << error;
        EXPECT_EQ(linkTargets(map), good.links) << good.what;
        EXPECT_TRUE(mapIsConsistent(map)) << good.what;
    }
}

TEST(ParseDimacs, CostsAreStraightLinesOfTheFloatPositions)
{
    MapData map;
    std::string error;
    ASSERT_TRUE(parse(kGr, kCo, map, error)) << error;
    for (const Vertex& vertex : map.vertices)
        for (int i = 0; i < vertex.linkCount; ++i)
            EXPECT_EQ(vertex.links[i].cost, vertexDistance(vertex, map.vertices[vertex.links[i].to]));
    // 0.001 degrees of latitude is 111.195 m wherever it is measured; it spans the 580-pixel height.
    EXPECT_NEAR(map.vertices[2].links[0].cost * map.metresPerUnit, 111.195, 1e-3);
    EXPECT_NEAR(map.vertices[2].links[0].cost, 580.0f, 1e-3f);
    // East-west shrinks by the cosine of the centre latitude: 111.195 cos 40.0005 degrees.
    EXPECT_NEAR(map.vertices[0].links[0].cost * map.metresPerUnit, 85.180, 1e-3);
    // Node 2 is west of node 1 and node 3 north of node 2 (y grows downward).
    EXPECT_LT(map.vertices[1].x, map.vertices[0].x);
    EXPECT_LT(map.vertices[2].y, map.vertices[1].y);
}

TEST(ParseDimacs, FullNodesDropLinksCountedOncePerPair)
{
    // Node 1 is linked to 2..19 in both directions: 18 pairs, 16 kept.
    std::string gr = "p sp 19 36\n", co = "p aux sp co 19\nv 1 0 0\n";
    for (int node = 2; node <= 19; ++node) {
        gr += "a 1 " + std::to_string(node) + " 1\na " + std::to_string(node) + " 1 1\n";
        co += "v " + std::to_string(node) + " " + std::to_string(node * 100) + " 5\n";
    }
    MapData map;
    std::string error;
    long dropped = 0;
    ASSERT_TRUE(parse(gr, co, map, error, &dropped)) << error;
    EXPECT_EQ(dropped, 2);
    EXPECT_EQ(map.vertices[0].linkCount, kMaxLinks);
    EXPECT_EQ(map.vertices[0].links[15].to, 16);
    EXPECT_EQ(map.vertices[17].linkCount, 0);
    EXPECT_TRUE(mapIsConsistent(map));
}

TEST(ReadDimacs, ReadsTheCoordinatesBesideAndMatchesTheOsmReader)
{
    MapData fromDimacs, fromOsm;
    std::string error;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readMapFile(kData + "/roads.gr", fromDimacs, error)) << error;
    ASSERT_TRUE(readOsmFile(kData + "/roads.osm", fromOsm, error)) << error;
    testing::internal::GetCapturedStderr();
    // The same junction, the same numbering: the same floats bit for bit.
    ASSERT_EQ(fromDimacs.vertices.size(), fromOsm.vertices.size());
    EXPECT_EQ(fromDimacs.metresPerUnit, fromOsm.metresPerUnit);
    EXPECT_EQ(linkTargets(fromDimacs), linkTargets(fromOsm));
    for (std::size_t i = 0; i < fromOsm.vertices.size(); ++i) {
        EXPECT_EQ(fromDimacs.vertices[i].x, fromOsm.vertices[i].x);
        EXPECT_EQ(fromDimacs.vertices[i].y, fromOsm.vertices[i].y);
        EXPECT_EQ(fromDimacs.vertices[i].links[0].cost, fromOsm.vertices[i].links[0].cost);
    }
}

TEST(ReadDimacs, RefusesMissingFilesAndLongLines)
{
    char pattern[] = "/tmp/vialoom-dimacs-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    std::ofstream(folder + "/alone.gr") << kGr;
    std::ofstream(folder + "/long.gr") << "c " << std::string(3 << 20, 'x') << "\n" << kGr;
    std::ofstream(folder + "/long.co") << kCo;
    mkdir((folder + "/dir.gr").c_str(), 0700);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/none.gr", "/none.gr: cannot open: No such file or directory"},
        {"/alone.gr", "/alone.co: cannot open: No such file or directory"},
        {"/dir.gr", "/dir.gr: cannot open: Is a directory"},
        {"/long.gr", "/long.gr:1: line too long"},
    };
    for (const auto& [name, says] : cases) {
        MapData map;
        std::string error;
        EXPECT_FALSE(readDimacsFile(folder + name, map, error)) << name;
        EXPECT_EQ(error, folder + says);
    }
    std::filesystem::remove_all(folder);
}

TEST(ReadDimacs, LargeFilesShowProgressOverBothFiles)
{
    char pattern[] = "/tmp/vialoom-dimacs-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    std::string padding;
    for (int i = 0; i < 100000; ++i)
        padding += "c padding padding padding pad\n";
    std::ofstream(folder + "/big.gr") << kGr << padding;
    std::ofstream(folder + "/big.co") << padding << kCo;
    std::FILE* stream = std::tmpfile();
    progressRedirect(stream, false);
    MapData map;
    std::string error;
    EXPECT_TRUE(readDimacsFile(folder + "/big.gr", map, error)) << error;
    progressRedirect(nullptr, false);
    std::string shown(static_cast<std::size_t>(std::ftell(stream)), '\0');
    std::rewind(stream);
    shown.resize(std::fread(&shown[0], 1, shown.size(), stream));
    std::fclose(stream);
    // Quarters in order, the last one reached after both files.
    const std::string line = "vialoom: reading " + folder + "/big.gr... ";
    EXPECT_EQ(shown.substr(0, line.size()), line);
    EXPECT_EQ(shown.substr(shown.size() - line.size() - 5), line + "100%\n");
    EXPECT_LT(shown.find("25%"), shown.find("75%"));
    std::filesystem::remove_all(folder);
}
