#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>

#include "mapio/map_file.h"
#include "mapio/osm.h"
#include "mapio/road_graph.h"
#include "tests/road_map_helpers.h"

namespace {

const std::string kRoads = std::string(VIALOOM_TEST_DATA) + "/roads.osm";

// Rewrites an OSM file in the format the new name's ending asks for.
void convertOsm(const std::string& from, const std::string& to)
{
    osmium::io::Reader reader{from};
    osmium::io::Writer writer{to, osmium::io::overwrite::allow};
    while (osmium::memory::Buffer buffer = reader.read())
        writer(std::move(buffer));
    writer.close();
    reader.close();
}

// Reads path, returning what went to stderr.
std::string readQuietly(const std::string& path, Scene& map, bool& done, std::string& error)
{
    testing::internal::CaptureStderr();
    done = readMapFile(path, map, error);
    return testing::internal::GetCapturedStderr();
}

} // namespace

TEST(ReadOsm, KeepsTravellableRoadsInFirstMetOrderAndProjects)
{
    Scene map;
    std::string error;
    bool done = false;
    const std::string warnings = readQuietly(kRoads, map, done, error);
    ASSERT_TRUE(done) << error;
    // Nodes 1 2 3 4 5 6; 7, 8 and 9 lie only on left-out ways, 99 is not in the file.
    EXPECT_EQ(linkTargets(map), (std::vector<std::vector<int>>{{1}, {0, 2, 3, 4}, {1, 5}, {1}, {1}, {2}}));
    EXPECT_TRUE(sceneIsConsistent(map));
    EXPECT_EQ(map.costUnit, CostUnit::Metres);
    EXPECT_EQ(warnings, "vialoom: " + kRoads + ": warning: dropped 2 links at nodes without a location\n");
    // 0.003 degrees of longitude fill the 780 pixels inside the margins; north is up.
    const double metresPerDegree = kEarthRadius * 3.14159265358979323846 / 180.0;
    EXPECT_NEAR(map.metresPerUnit, 0.003 * metresPerDegree / 780.0, 1e-12);
    const float expected[][2] = {{10, 300}, {270, 300}, {530, 300}, {270, 40}, {270, 560}, {790, 300}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(map.vertices[i].x, expected[i][0], 1e-3) << i;
        EXPECT_NEAR(map.vertices[i].y, expected[i][1], 1e-3) << i;
    }
    // Links cost metres on the sphere, or seconds at the road's speed.
    EXPECT_NEAR(map.vertices[0].links[0].cost, 0.001 * metresPerDegree, 1e-3);
    EXPECT_NEAR(vertexDistance(map.vertices[0], map.vertices[1]) * map.metresPerUnit, 0.001 * metresPerDegree, 1e-3);
    Scene timed;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(readOsmFile(kRoads, timed, error, OsmCosts::Time)) << error;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(timed.costUnit, CostUnit::Seconds);
    EXPECT_NEAR(timed.vertices[0].links[0].cost, map.vertices[0].links[0].cost / (30.0 / 3.6), 1e-3) << "residential";
}

TEST(ReadOsm, TimeCostsTakeMaxspeedElseTheClassSpeed)
{
    // Way tags, the speed in km/h its 0.001-degree segment is priced at.
    const std::vector<std::pair<std::string, double>> cases = {
        {R"(<tag k="highway" v="primary"/><tag k="maxspeed" v="50"/>)", 50.0},
        {R"(<tag k="highway" v="primary"/><tag k="maxspeed" v="30 mph"/>)", 30.0 * 1.609344},
        {R"(<tag k="highway" v="primary"/><tag k="maxspeed" v="none"/>)", 70.0},
        {R"(<tag k="highway" v="motorway"/>)", 110.0},
        {R"(<tag k="highway" v="footway"/><tag k="maxspeed" v="RU:urban"/>)", 5.0},
        {R"(<tag k="highway" v="bus_guideway"/>)", 30.0},
    };
    const std::string path = scratchFolder() + "/speed.osm";
    for (const auto& [tags, kmh] : cases) {
        std::ofstream(path) << R"(<?xml version="1.0"?><osm version="0.6">)"
                            << R"(<node id="1" lat="0" lon="0"/><node id="2" lat="0" lon="0.001"/>)"
                            << R"(<way id="1"><nd ref="1"/><nd ref="2"/>)" << tags << "</way></osm>";
        Scene map;
        std::string error;
        ASSERT_TRUE(readOsmFile(path, map, error, OsmCosts::Time)) << error;
        const double metres = kEarthRadius * 3.14159265358979323846 / 180.0 * 0.001;
        EXPECT_NEAR(map.vertices[0].links[0].cost, metres / (kmh / 3.6), 1e-3) << tags;
    }
}

TEST(ReadOsm, EveryFormatGivesTheSameMap)
{
    const std::string folder = scratchFolder();
    Scene fromXml, other;
    std::string error;
    bool done = false;
    readQuietly(kRoads, fromXml, done, error);
    for (const char* name : {"/roads.osm.pbf", "/roads.osm.bz2"}) {
        convertOsm(kRoads, folder + name);
        readQuietly(folder + name, other, done, error);
        EXPECT_TRUE(done) << error;
        EXPECT_EQ(describeMap(other), describeMap(fromXml)) << name;
    }
    std::filesystem::remove_all(folder);
}

TEST(ReadOsm, HubKeepsItsFirstSixteenLinksAndWarnsOnce)
{
    // Node 1 with 19 residential ways out to nodes 100..118 and back.
    std::string text = "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n<node id=\"1\" lat=\"10\" lon=\"20\"/>\n";
    for (int i = 0; i < 19; ++i)
        text += "<node id=\"" + std::to_string(100 + i) + "\" lat=\"" + std::to_string(10 + 0.001 * std::cos(i)) +
                "\" lon=\"" + std::to_string(20 + 0.001 * std::sin(i)) + "\"/>\n";
    for (int i = 0; i < 19; ++i)
        text += "<way id=\"" + std::to_string(500 + i) + "\"><nd ref=\"1\"/><nd ref=\"" + std::to_string(100 + i) +
                "\"/><nd ref=\"1\"/><tag k=\"highway\" v=\"residential\"/></way>\n";
    const std::string folder = scratchFolder(), path = folder + "/hub.osm";
    std::ofstream(path) << text << "</osm>\n";
    Scene map;
    std::string error;
    bool done = false;
    EXPECT_EQ(readQuietly(path, map, done, error),
              "vialoom: " + path + ": warning: dropped 3 links at nodes with more than 16\n");
    ASSERT_TRUE(done) << error;
    ASSERT_EQ(map.vertices.size(), 20u);
    EXPECT_EQ(linkTargets(map)[0], (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(map.vertices[19].linkCount, 0);
    EXPECT_TRUE(sceneIsConsistent(map));
    std::filesystem::remove_all(folder);
}

TEST(ReadOsm, RefusesBadFilesWithOneLineAndLeavesTheMap)
{
    const std::string folder = scratchFolder();
    const std::string roads = readText(kRoads);
    convertOsm(kRoads, folder + "/whole.osm.pbf");
    convertOsm(kRoads, folder + "/whole.osm.bz2");
    const std::string pbf = readText(folder + "/whole.osm.pbf"), bz2 = readText(folder + "/whole.osm.bz2");
    mkdir((folder + "/folder.osm").c_str(), 0700);
    const std::string unwritten = "(not written)";
    const std::vector<std::vector<std::string>> cases = {
        {"half.osm", roads.substr(0, roads.size() / 2), ": bad OSM XML: "},
        {"syntax.osm", "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n<node id=\"1\" lat=\"0\" lon=\"0\">\n</osm>\n",
         ".osm:4: bad OSM XML: mismatched tag"},
        {"empty.osm", "", ".osm:1: bad OSM XML: no element found"},
        {"late.osm",
         "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n\n\n<node id=\"1\" lat=\"0\" lon=\"0\"/>\n</osm>\n<",
         ".osm:7: bad OSM XML: "},
        // The library's own faults know no line: none is given, never ":0".
        {"entity.osm", "<?xml version=\"1.0\"?>\n<!DOCTYPE osm [<!ENTITY a \"b\">]>\n<osm version=\"0.6\"/>\n",
         ".osm: bad OSM XML: XML entities are not supported"},
        {"stranger.osm", "<?xml version=\"1.0\"?>\n<map version=\"0.6\"/>\n",
         ".osm: bad OSM XML: Unknown top-level element: map"},
        {"inner.osm",
         "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n<node id=\"1\" lat=\"0\" lon=\"0\"><x/></node>\n</osm>\n",
         ".osm: bad OSM XML: Unknown element in <node>: x"},
        {"no-roads.osm", "<?xml version=\"1.0\"?>\n<osm version=\"0.6\"><node id=\"1\" lat=\"0\" lon=\"0\"/></osm>\n",
         ".osm: no roads (no way with a highway tag a person can travel)"},
        {"garbage.osm.pbf", std::string("\0\0\0\x0dgarbage block and then some", 31), ": bad OpenStreetMap data: "},
        {"half.osm.pbf", pbf.substr(0, pbf.size() / 2), ": bad OpenStreetMap data: PBF error: unexpected EOF"},
        {"plain.osm.bz2", roads, ".bz2: not bzip2 data"},
        {"half.osm.bz2", bz2.substr(0, bz2.size() / 2), ".bz2: bzip2 data cut short"},
        {"missing.osm", unwritten, ": cannot open: no such file or directory"},
        {"folder.osm", unwritten, ": cannot open: is a directory"},
    };
    for (const auto& bad : cases) {
        const std::string path = folder + "/" + bad[0];
        if (bad[1] != unwritten)
            std::ofstream(path, std::ios::binary) << bad[1];
        Scene map;
        map.vertices.resize(1);
        map.startVertex = 0;
        std::string error;
        bool done = true;
        EXPECT_EQ(readQuietly(path, map, done, error), "") << bad[0];
        EXPECT_FALSE(done) << bad[0];
        EXPECT_EQ(error.rfind(path, 0), 0u) << error;
        EXPECT_NE(error.find(bad[2]), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(error.find(":0:"), std::string::npos) << error;
        EXPECT_TRUE(map.vertices.size() == 1 && map.startVertex == 0) << bad[0];
    }
    std::filesystem::remove_all(folder);
}
