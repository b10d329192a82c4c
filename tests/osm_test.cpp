#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>

#include "mapio/map_file.h"
#include "mapio/osm.h"
#include "mapio/road_graph.h"

namespace {

const std::string kData = VIALOOM_TEST_DATA;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string scratchFolder()
{
    char pattern[] = "/tmp/vialoom-osm-XXXXXX";
    return mkdtemp(pattern);
}

// Rewrites an OSM file in another format (chosen by the new name's ending).
void convertOsm(const std::string& from, const std::string& to)
{
    osmium::io::Reader reader{from};
    osmium::io::Writer writer{to, osmium::io::overwrite::allow};
    while (osmium::memory::Buffer buffer = reader.read())
        writer(std::move(buffer));
    writer.close();
    reader.close();
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

void expectCostsAreDistances(const MapData& map)
{
    for (const Vertex& vertex : map.vertices)
        for (int i = 0; i < vertex.linkCount; ++i)
            EXPECT_EQ(vertex.links[i].cost, vertexDistance(vertex, map.vertices[vertex.links[i].to]));
}

bool sameMaps(const MapData& a, const MapData& b)
{
    if (a.vertices.size() != b.vertices.size() || a.metresPerUnit != b.metresPerUnit)
        return false;
    for (std::size_t i = 0; i < a.vertices.size(); ++i) {
        const Vertex& p = a.vertices[i];
        const Vertex& q = b.vertices[i];
        if (p.x != q.x || p.y != q.y || p.linkCount != q.linkCount)
            return false;
        for (int j = 0; j < p.linkCount; ++j)
            if (p.links[j].to != q.links[j].to || p.links[j].cost != q.links[j].cost)
                return false;
    }
    return true;
}

// A hub node 1 with `spokes` two-node residential ways leading away from it.
std::string hubOsm(int spokes)
{
    std::string text = "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n"
                       "<node id=\"1\" lat=\"10\" lon=\"20\"/>\n";
    for (int i = 0; i < spokes; ++i)
        text += "<node id=\"" + std::to_string(100 + i) + "\" lat=\"" + std::to_string(10 + 0.001 * std::cos(i)) +
                "\" lon=\"" + std::to_string(20 + 0.001 * std::sin(i)) + "\"/>\n";
    for (int i = 0; i < spokes; ++i)
        text += "<way id=\"" + std::to_string(500 + i) + "\"><nd ref=\"1\"/><nd ref=\"" + std::to_string(100 + i) +
                "\"/><tag k=\"highway\" v=\"residential\"/></way>\n";
    return text + "</osm>\n";
}

} // namespace

TEST(ReadOsm, KeepsTravellableRoadsInFirstMetOrder)
{
    MapData map;
    std::string error;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readOsmFile(kData + "/roads.osm", map, error)) << error;
    const std::string warnings = testing::internal::GetCapturedStderr();
    // Nodes 1 2 3 4 5 6; 7, 8 and 9 lie only on left-out ways, 99 is not in the file.
    EXPECT_EQ(linkTargets(map), (std::vector<std::vector<int>>{{1}, {0, 2, 3, 4}, {1, 5}, {1}, {1}, {2}}));
    EXPECT_TRUE(mapIsConsistent(map));
    expectCostsAreDistances(map);
    EXPECT_EQ(warnings, "vialoom: " + kData + "/roads.osm: warning: dropped 2 links at nodes without a location\n");
}

TEST(ReadOsm, ProjectsAroundTheCentreAndFitsTheWindow)
{
    MapData map;
    std::string error;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readOsmFile(kData + "/roads.osm", map, error)) << error;
    testing::internal::GetCapturedStderr();
    const double metresPerDegree = kEarthRadius * 3.14159265358979323846 / 180.0;
    // 0.003 degrees of longitude span 780 pixels; the latitude range is the shorter side.
    EXPECT_NEAR(map.metresPerUnit, 0.003 * metresPerDegree / 780.0, 1e-12);
    const std::vector<std::pair<float, float>> expected = {
        {10.0f, 300.0f}, {270.0f, 300.0f}, {530.0f, 300.0f}, {270.0f, 40.0f}, {270.0f, 560.0f}, {790.0f, 300.0f}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(map.vertices[i].x, expected[i].first, 1e-3) << i;
        EXPECT_NEAR(map.vertices[i].y, expected[i].second, 1e-3) << i;
    }
    // A link's cost in metres is the ground distance.
    EXPECT_NEAR(map.vertices[0].links[0].cost * map.metresPerUnit, 0.001 * metresPerDegree, 1e-3);
}

TEST(ReadOsm, EveryFormatGivesTheSameMap)
{
    const std::string folder = scratchFolder();
    MapData fromXml;
    std::string error;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readOsmFile(kData + "/roads.osm", fromXml, error)) << error;
    for (const char* name : {"/roads.osm.pbf", "/roads.osm.bz2"}) {
        convertOsm(kData + "/roads.osm", folder + name);
        MapData other;
        ASSERT_TRUE(readMapFile(folder + name, other, error)) << error;
        EXPECT_TRUE(sameMaps(fromXml, other)) << name;
    }
    testing::internal::GetCapturedStderr();
    std::filesystem::remove_all(folder);
}

TEST(ReadOsm, HubKeepsItsFirstSixteenLinksAndWarnsOnce)
{
    const std::string folder = scratchFolder();
    const std::string path = folder + "/hub.osm";
    writeText(path, hubOsm(19));
    MapData map;
    std::string error;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readOsmFile(path, map, error)) << error;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "vialoom: " + path + ": warning: dropped 3 links at nodes with more than 16\n");
    ASSERT_EQ(map.vertices.size(), 20u);
    ASSERT_EQ(map.vertices[0].linkCount, kMaxLinks);
    for (int i = 0; i < kMaxLinks; ++i)
        EXPECT_EQ(map.vertices[0].links[i].to, i + 1);
    EXPECT_EQ(map.vertices[19].linkCount, 0);
    EXPECT_TRUE(mapIsConsistent(map));
    std::filesystem::remove_all(folder);
}

TEST(ReadOsm, RefusesBadFilesWithOneLineAndLeavesTheMap)
{
    const std::string folder = scratchFolder();
    const std::string roads = readText(kData + "/roads.osm");
    convertOsm(kData + "/roads.osm", folder + "/whole.osm.pbf");
    convertOsm(kData + "/roads.osm", folder + "/whole.osm.bz2");
    const std::string pbf = readText(folder + "/whole.osm.pbf");
    const std::string bz2 = readText(folder + "/whole.osm.bz2");
    mkdir((folder + "/folder.osm").c_str(), 0700);
    struct Case {
        const char* name;
        std::string contents; // not written when empty and the name has no "empty"
        const char* says;
    };
    const std::vector<Case> cases = {
        {"half.osm", roads.substr(0, roads.size() / 2), ": bad OSM XML: "},
        {"syntax.osm", "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n<node id=\"1\" lat=\"0\" lon=\"0\">\n</osm>\n",
         ".osm:4: bad OSM XML: mismatched tag"},
        {"empty.osm", "", ".osm:1: bad OSM XML: "},
        {"no-roads.osm", "<?xml version=\"1.0\"?>\n<osm version=\"0.6\"><node id=\"1\" lat=\"0\" lon=\"0\"/></osm>\n",
         ": no roads"},
        {"garbage.osm.pbf", std::string("\0\0\0\x0dgarbage block and then some", 31), ": bad OpenStreetMap data: "},
        {"half.osm.pbf", pbf.substr(0, pbf.size() / 2), ": bad OpenStreetMap data: "},
        {"plain.osm.bz2", roads, ".bz2: not bzip2 data"},
        {"half.osm.bz2", bz2.substr(0, bz2.size() / 2), ".bz2: bzip2 data cut short"},
        {"missing.osm", "", ": cannot open: No such file or directory"},
        {"folder.osm", "", ": cannot open: Is a directory"},
    };
    for (const Case& bad : cases) {
        const std::string path = folder + "/" + bad.name;
        if (!bad.contents.empty() || std::string(bad.name).find("empty") != std::string::npos)
            writeText(path, bad.contents);
        MapData map;
        map.vertices.resize(1);
        map.startVertex = 0;
        std::string error;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(readMapFile(path, map, error)) << bad.name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << bad.name;
        EXPECT_EQ(error.rfind(path, 0), 0u) << error;
        EXPECT_NE(error.find(bad.says), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(map.vertices.size(), 1u) << bad.name;
        EXPECT_EQ(map.startVertex, 0) << bad.name;
    }
    std::filesystem::remove_all(folder);
}
