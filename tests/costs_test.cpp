// Given link costs and terrain factors: every search against a plain
// Dijkstra in double, the scaled estimate, DIMACS weights, and .vmap version 2.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <queue>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/commands.h"
#include "graph/costs.h"
#include "mapio/dimacs.h"
#include "mapio/vmap.h"
#include "route/dijkstra.h"
#include "route/hierarchy_cache.h"
#include "route/route_walk.h"
#include "route/search.h"
#include "route/prepared.h"
#include "route/search_names.h"
#include "tests/reference_search.h"
#include "ui/stats_text.h"

namespace {

// Links a and b at cost both ways; a pair already linked is left as it is,
// so costs stay symmetric as every map's are.
void link(std::vector<Vertex>& graph, int a, int b, float cost)
{
    if (findLink(graph[a], b) != nullptr || !toggleLinkIn(graph, a, b))
        return;
    graph[a].links[graph[a].linkCount - 1].cost = cost;
    graph[b].links[graph[b].linkCount - 1].cost = cost;
}

// A random graph with small integer costs (many ties) and, when asked, factors.
std::vector<Vertex> randomGraph(std::mt19937& random, bool factors)
{
    std::vector<Vertex> graph(5 + random() % 60);
    for (Vertex& v : graph) {
        v.x = static_cast<float>(random() % 200);
        v.y = static_cast<float>(random() % 200);
        if (factors && random() % 3 == 0)
            v.factor = std::vector<float>{0.5f, 2.0f, 5.0f, 20.0f}[random() % 4];
    }
    const int n = static_cast<int>(graph.size());
    for (int k = 0; k < n * 3; ++k)
        link(graph, static_cast<int>(random() % n), static_cast<int>(random() % n),
             static_cast<float>(1 + random() % 4));
    return graph;
}

struct Ran {
    bool found = false;
    double cost = 0.0;
    std::vector<int> route;
};

Ran search(const std::vector<Vertex>& graph, int start, int goal, SearchMode mode, const CostModel& costs)
{
    std::map<int, int> cameFrom;
    SearchTrace trace;
    Ran ran;
    std::string why;
    if (mode == SearchMode::Ch && !hierarchyReadyFor(graph, graphRevision())) {
        EXPECT_EQ(prepareHierarchy(graph, graphRevision(), HierarchyOptions{}, why), HierarchyStatus::Built) << why;
    }
    ran.found = searchRoute(cameFrom, graph, start, goal, mode, &trace, costs);
    ran.route = tableRoute(cameFrom, start, goal, graph.size());
    ran.cost = ran.found ? routeCost(graph, ran.route, costs.given) : kNoRoute;
    if (ran.found && ran.cost != trace.g[static_cast<std::size_t>(goal)])
        ran.cost = -1.0; // the route printed must cost what the search found
    return ran;
}

int runWords(const std::vector<const char*>& words, std::string& out)
{
    std::vector<const char*> argv{"vialoom"};
    argv.insert(argv.end(), words.begin(), words.end());
    std::FILE* outFile = std::tmpfile();
    std::FILE* errFile = std::tmpfile();
    const int status = runCommand(parseCommandLine(static_cast<int>(argv.size()), argv.data()), outFile, errFile);
    std::rewind(outFile);
    out.clear();
    for (int c; (c = std::fgetc(outFile)) != EOF;)
        out.push_back(static_cast<char>(c));
    std::fclose(outFile);
    std::fclose(errFile);
    return status;
}

} // namespace

TEST(Costs, EverySearchAgreesWithAPlainDijkstraInDouble)
{
    std::mt19937 random(1515);
    int dearerGreedy = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::vector<Vertex> graph = randomGraph(random, round % 2 == 1);
        const CostModel costs = costModelOf(graph);
        ASSERT_TRUE(costs.given);
        const int n = static_cast<int>(graph.size());
        const int start = static_cast<int>(random() % n), goal = static_cast<int>(random() % n);
        const double judge = referenceGivenCost(graph, start, goal);
        ASSERT_EQ(cheapestCost(graph, start, goal, nullptr, true), judge) << round;
        for (SearchMode mode : kSearchModes) {
            std::string why;
            if (!searchUsable(graph, mode, nullptr, why))
                continue; // Jump Point Search off a grid
            const Ran ran = search(graph, start, goal, mode, costs);
            ASSERT_EQ(ran.found, judge != kNoRoute) << round << " " << searchModeName(mode);
            if (mode == SearchMode::Greedy || mode == SearchMode::Bfs) {
                ASSERT_GE(ran.cost, judge) << round;
                dearerGreedy += ran.cost > judge;
            } else if (mode == SearchMode::Weighted) {
                ASSERT_GE(ran.cost, judge) << round;
                ASSERT_LE(ran.cost, kDefaultWeight * judge) << round;
            } else {
                ASSERT_EQ(ran.cost, judge) << round << " " << searchModeName(mode);
            }
        }
    }
    EXPECT_GT(dearerGreedy, 0); // the graphs are hard enough to catch a search out
}

TEST(Costs, TheScaledEstimateKeepsAStarCheapestWhereTheLengthWouldOverestimate)
{
    // 0 - 1 is short and dear; 0 - 2 - 1 long and cheap.
    std::vector<Vertex> graph(3);
    graph[1].x = 10.0f;
    graph[2].y = 100.0f;
    link(graph, 0, 1, 10.0f);
    link(graph, 0, 2, 1.0f);
    link(graph, 2, 1, 1.0f);
    const CostModel costs = costModelOf(graph);
    EXPECT_LT(costs.scale, 0.0101);
    EXPECT_EQ(search(graph, 0, 1, SearchMode::AStar, costs).cost, 2.0);
    EXPECT_EQ(search(graph, 0, 1, SearchMode::AStar, CostModel{true, 1.0}).cost, 10.0) << "unscaled overestimates";
}

TEST(Costs, ALinkLongerThanFloatHoldsStillBoundsTheScale)
{
    // 0 - 1 dear and short; 0 - 2 - 1 cheap through a vertex too far for float lengths.
    std::vector<Vertex> graph(3);
    graph[1].x = 10.0f;
    graph[2].x = 1e30f;
    link(graph, 0, 1, 10.0f);
    link(graph, 0, 2, 1.0f);
    link(graph, 2, 1, 1.0f);
    EXPECT_EQ(search(graph, 0, 1, SearchMode::AStar, costModelOf(graph)).cost, 2.0);
}

TEST(Costs, DerivedCostsKeepTheirModelAndFloatSums)
{
    std::vector<Vertex> graph(3);
    graph[1].x = 3.0f;
    graph[2].y = 4.0f;
    toggleLinkIn(graph, 0, 1);
    toggleLinkIn(graph, 1, 2);
    const CostModel derived = costModelOf(graph);
    EXPECT_FALSE(derived.given);
    EXPECT_EQ(derived.scale, 1.0);
    graph[2].factor = 3.0f; // link 1 - 2: 5 * 2
    EXPECT_TRUE(costModelOf(graph).given);
    EXPECT_EQ(linkCost(graph[1], graph[2], graph[1].links[1]), 10.0f);
    EXPECT_EQ(linkCost(graph[0], graph[1], graph[0].links[0]), 3.0f);
    EXPECT_EQ(routeCost(graph, {2, 1, 0}, true), 13.0);
}

TEST(Costs, IntegerSumsBeyondFloatStayExact)
{
    // 2^24 + 1 + 1: float would lose both ones.
    std::vector<Vertex> graph(4);
    for (int i = 0; i < 4; ++i)
        graph[i].x = static_cast<float>(i);
    link(graph, 0, 1, 16777216.0f);
    link(graph, 1, 2, 1.0f);
    link(graph, 2, 3, 1.0f);
    const Ran ran = search(graph, 0, 3, SearchMode::AStar, costModelOf(graph));
    EXPECT_EQ(ran.cost, 16777218.0);
}

TEST(Costs, DimacsWeightsAreLinkCostsTheSmallerOfTwoWays)
{
    const std::string co = "p aux sp co 3\nv 1 -73000000 40000000\nv 2 -73001000 40000000\nv 3 -73001000 40001000\n";
    Scene map;
    std::string error;
    long dropped = 0, uneven = 0;
    ASSERT_TRUE(parseDimacs("p sp 3 5\na 1 2 7\na 2 1 5\na 2 3 9\na 3 2 9\na 3 2 9\n", "g.gr", co, "g.co", map, error,
                            &dropped, &uneven))
        << error;
    EXPECT_EQ(uneven, 1);
    EXPECT_EQ(map.costUnit, CostUnit::FileUnits);
    EXPECT_EQ(findLink(map.vertices[0], 1)->cost, 5.0f);
    EXPECT_EQ(findLink(map.vertices[1], 0)->cost, 5.0f);
    EXPECT_EQ(findLink(map.vertices[2], 1)->cost, 9.0f);
    const std::vector<std::pair<std::string, std::string>> faults = {
        {"p sp 3 1\na 1 2 0\n", "g.gr:2: arc weight 0 outside 1..16777216"},
        {"p sp 3 1\na 1 2 16777217\n", "g.gr:2: arc weight 16777217 outside 1..16777216"},
        {"p sp 3 1\na 1 2 x\n", "g.gr:2: expected \"a FROM TO LENGTH\""},
    };
    for (const auto& [gr, expected] : faults) {
        Scene untouched;
        EXPECT_FALSE(parseDimacs(gr, "g.gr", co, "g.co", untouched, error, nullptr));
        EXPECT_EQ(error, expected);
        EXPECT_TRUE(untouched.vertices.empty());
    }
}

TEST(Costs, RoutePrintsTheExactSumInTheFilesUnits)
{
    const std::string folder = ::testing::TempDir() + "/costs-route";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/r.gr") << "p sp 4 4\na 1 2 16777216\na 2 3 1\na 3 4 1\na 1 4 16777216\n";
    std::ofstream(folder + "/r.co") << "p aux sp co 4\nv 1 0 0\nv 2 1000 0\nv 3 2000 0\nv 4 3000 0\n";
    std::string out;
    const std::string gr = folder + "/r.gr";
    ASSERT_EQ(runWords({"route", gr.c_str(), "0", "3"}, out), 0);
    EXPECT_NE(out.find("cost: 16777216\n"), std::string::npos) << out;
    ASSERT_EQ(runWords({"route", gr.c_str(), "1", "3"}, out), 0);
    EXPECT_NE(out.find("cost: 2\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("metres"), std::string::npos) << out;
    EXPECT_EQ(runWords({"route", gr.c_str(), "1", "3", "--costs", "time"}, out), 2) << "a DIMACS graph has no such costs";
    EXPECT_EQ(out, "");
    ASSERT_EQ(runWords({"route", VIALOOM_TEST_DATA "/dear.vmap", "0", "2"}, out), 0);
    EXPECT_NE(out.find("cost: 200\nhops: 2\nroute: 0 1 2\n"), std::string::npos) << out;
}

TEST(Costs, ExactCostsReadBackAndWholeSumsPrintInFull)
{
    const struct {
        double cost;
        const char* text;
    } cases[] = {{200.0, "200"},          {16777217.0, "16777217"}, {0x1p60, "1.152921504606847e+18"},
                 {0.1 + 0.2, "0.30000000000000004"}, {2.5, "2.5"}, {0.0, "0"}};
    for (const auto& c : cases) {
        EXPECT_EQ(exactCostText(c.cost), c.text);
        EXPECT_EQ(std::strtod(exactCostText(c.cost).c_str(), nullptr), c.cost);
    }
}

TEST(Costs, VmapVersionTwoCarriesCostsFactorsAndUnitExactly)
{
    std::vector<Vertex> graph(3);
    graph[1].x = 30.0f;
    graph[1].y = 40.0f;
    graph[2].x = 60.0f;
    toggleLinkIn(graph, 0, 1);
    link(graph, 1, 2, 0.1f);
    link(graph, 0, 2, 500.0f);
    graph[2].factor = 5.0f;
    Scene map;
    map.vertices = graph;
    map.costUnit = CostUnit::Seconds;
    const std::string text = formatVmap(map);
    EXPECT_EQ(text, "vialoom-map 2\n# x y z, link count, linked vertices in table order\nvertices 3\n"
                    "0 0 0 2 1 2:500\n30 40 0 2 0 2:0.1\n60 0 0 2 1:0.1 0:500\ncost-unit seconds\nfactor 2 5\nend\n");
    Scene read;
    std::string error;
    ASSERT_TRUE(parseVmap(text, "m.vmap", read, error)) << error;
    EXPECT_EQ(formatVmap(read), text);
    EXPECT_EQ(read.costUnit, CostUnit::Seconds);
    EXPECT_EQ(read.vertices[2].factor, 5.0f);
    EXPECT_EQ(findLink(read.vertices[1], 2)->cost, 0.1f);
    EXPECT_EQ(findLink(read.vertices[1], 0)->cost, 50.0f);
    // Without given costs: version 1, as ever.
    map.vertices[2].factor = 1.0f;
    map.costUnit = CostUnit::Length;
    toggleLinkIn(map.vertices, 1, 2);
    toggleLinkIn(map.vertices, 0, 2);
    EXPECT_EQ(formatVmap(map).substr(0, 14), "vialoom-map 1\n");
}

TEST(Costs, VmapVersionTwoRefusesBadCostsAndFactorsWithTheirLine)
{
    const std::string head = "vialoom-map 2\nvertices 2\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {head + "0 0 0 1 1:0\n3 4 0 1 0:0\nend\n", "m.vmap:3: link cost '0' is not a number from 2^-64 to 2^64"},
        {head + "0 0 0 1 1:-2\n3 4 0 1 0\nend\n", "m.vmap:3: link cost '-2' is not a number from 2^-64 to 2^64"},
        {head + "0 0 0 1 1:x\n3 4 0 1 0\nend\n", "m.vmap:3: link cost 'x' is not a number from 2^-64 to 2^64"},
        {head + "0 0 0 1 1:1e39\n3 4 0 1 0\nend\n", "m.vmap:3: link cost '1e39' is not a number from 2^-64 to 2^64"},
        {head + "0 0 0 1 1:\n3 4 0 1 0\nend\n", "m.vmap:3: link cost '' is not a number from 2^-64 to 2^64"},
        {head + "0 0 0 1 :2\n3 4 0 1 0\nend\n", "m.vmap:3: link target '' is not a vertex index"},
        {head + "0 0 0 1 1:7\n3 4 0 1 0\nend\n", "m.vmap:3: the link from vertex 0 to 1 costs 7 here but 5 at vertex 1"},
        {head + "0 0 0 1 1:7\n3 4 0 1 0:8\nend\n", "m.vmap:3: the link from vertex 0 to 1 costs 7 here but 8 at vertex 1"},
        {head + "0 0 0 0\n0 0 0 0\nfactor 2 3\nend\n", "m.vmap:5: factor vertex '2' is out of range (the map has 2 vertices)"},
        {head + "0 0 0 0\n0 0 0 0\nfactor 1 0\nend\n", "m.vmap:5: factor '0' is not a number from 2^-20 to 2^20"},
        {head + "0 0 0 0\n0 0 0 0\nfactor 1 inf\nend\n", "m.vmap:5: factor 'inf' is not a number from 2^-20 to 2^20"},
        {head + "0 0 0 0\n0 0 0 0\nfactor 1 2e6\nend\n", "m.vmap:5: factor '2e6' is not a number from 2^-20 to 2^20"},
        {head + "0 0 0 0\n0 0 0 0\nfactor 1 2\nfactor 1 2\nend\n", "m.vmap:6: a second 'factor' line for vertex 1"},
        {head + "0 0 0 0\n0 0 0 0\nfactor 1\nend\n", "m.vmap:5: 'factor' takes a vertex index and a number"},
        {head + "0 0 0 0\n0 0 0 0\ncost-unit hours\nend\n", "m.vmap:5: cost unit 'hours' is not file, metres or seconds"},
        {head + "0 0 0 0\n0 0 0 0\ncost-unit file\ncost-unit file\nend\n", "m.vmap:6: a second 'cost-unit' line"},
        {"vialoom-map 1\nvertices 2\n0 0 0 1 1:5\n3 4 0 1 0\nend\n", "m.vmap:3: link target '1:5' is not a vertex index"},
        {"vialoom-map 1\nvertices 1\n0 0 0 0\nfactor 0 2\nend\n",
         "m.vmap:4: unknown line 'factor' (expected start, goal, marked, metres-per-unit or end)"},
    };
    for (const auto& [text, expected] : cases) {
        Scene map;
        map.startVertex = 7;
        std::string error;
        EXPECT_FALSE(parseVmap(text, "m.vmap", map, error)) << text;
        EXPECT_EQ(error, expected) << text;
        EXPECT_EQ(map.startVertex, 7);
    }
    // Given at one end only, equal to the length: the same link as before.
    Scene map;
    std::string error;
    ASSERT_TRUE(parseVmap(head + "0 0 0 1 1:5\n3 4 0 1 0\nend\n", "m.vmap", map, error)) << error;
    EXPECT_EQ(formatVmap(map).substr(0, 14), "vialoom-map 1\n");
}

TEST(Costs, TheDocumentedVersionTwoExampleIsCanonical)
{
    std::ifstream file(VIALOOM_DOCS "/map-format.md");
    const std::string doc((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t at = doc.find("```\n", doc.find("An example of version 2"));
    ASSERT_NE(at, std::string::npos);
    const std::string text = doc.substr(at + 4, doc.find("```", at + 4) - at - 4);
    Scene map;
    std::string error;
    ASSERT_TRUE(parseVmap(text, "example.vmap", map, error)) << error;
    EXPECT_EQ(formatVmap(map), text);
    EXPECT_EQ(routeCost(map.vertices, {2, 1, 0}, true), 50.0 + 50.0 * 3.0);
}
