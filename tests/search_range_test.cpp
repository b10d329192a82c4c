// The searches on maps at the edges of float's range, where squares of
// distances overflow or underflow: still the list search's order, and still
// the cheapest route by an independent judge.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "mapio/vmap.h"
#include "route/dijkstra.h"
#include "route/route_walk.h"
#include "tests/reference_search.h"

namespace {

const SearchMode kModes[] = {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::Greedy};

std::string hexText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

double doubleCost(const std::vector<Vertex>& vertices, const std::vector<int>& route)
{
    double sum = 0.0;
    for (std::size_t i = route.size() - 1; i > 0; --i)
        sum += findLink(vertices[route[i]], route[i - 1])->cost;
    return sum;
}

// Every mode against the list search and, by cost, against the judge and
// cheapestCost. Float sums of two routes may tie where double ones differ, so
// the judge is met within float's rounding and cheapestCost bit for bit.
// Empty when all holds.
std::string judgeFault(const std::vector<Vertex>& vertices, int start, int goal)
{
    const double cheapest = cheapestInDouble(vertices, start, goal);
    for (SearchMode mode : kModes) {
        std::map<int, int> expected, actual;
        std::vector<int> order;
        SearchTrace trace;
        const bool found = referenceSearch(expected, vertices, start, goal, mode, &order);
        if (searchRoute(actual, vertices, start, goal, mode, &trace) != found || actual != expected ||
            trace.expanded != order)
            return std::string(searchModeName(mode)) + " differs from the list search";
        for (std::size_t v = 0; v < vertices.size(); ++v)
            if (trace.reachedAt[v] >= 0 && !std::isfinite(trace.h[v]))
                return std::string(searchModeName(mode)) + " estimates +infinity";
        if (found != std::isfinite(cheapest))
            return std::string(searchModeName(mode)) + " is wrong about the goal being reachable";
        if (!found)
            continue;
        const std::vector<int> route = traceRoute(trace);
        const double cost = doubleCost(vertices, route);
        const double slack = static_cast<double>(route.size()) * FLT_EPSILON * cheapest;
        if (mode == SearchMode::Greedy ? cost < cheapest : cost > cheapest + slack)
            return std::string(searchModeName(mode)) + " route costs " + hexText(cost) + ", cheapest " +
                   hexText(cheapest);
        if (mode != SearchMode::Greedy && routeCost(vertices, route) != cheapestCost(vertices, start, goal, nullptr))
            return std::string(searchModeName(mode)) + " is not as cheap as cheapestCost";
    }
    return "";
}

} // namespace

TEST(SearchRange, FindsTheCheapestRouteWhereverTheCoordinatesLie)
{
    Scene farApart;
    std::string error;
    ASSERT_TRUE(readVmapFile(VIALOOM_TEST_DATA "/far-apart.vmap", farApart, error)) << error;
    ASSERT_EQ(judgeFault(farApart.vertices, 3, 4), "");

    // Huge: squares of distances overflow, links stay below 2^64. Tiny: their
    // squares underflow. Subnormal: so do the coordinates. Any: every finite
    // float.
    enum Family { Huge, Tiny, Subnormal, Any };
    std::mt19937 rng(31337);
    const auto mantissa = [&] { return 1.0f + static_cast<float>(rng() >> 9) * 0x1p-23f; };
    const auto sign = [&] { return rng() % 2 ? 1.0f : -1.0f; };
    const std::function<float()> coordinates[] = {
        [&] { return std::ldexp(mantissa(), 63 + static_cast<int>(rng() % 2)); },
        [&] { return std::ldexp(mantissa(), -80 + static_cast<int>(rng() % 20)) * sign(); },
        [&] { return std::ldexp(static_cast<float>(rng() % (1u << 23)), -149); },
        [&] { return std::ldexp(mantissa(), -149 + static_cast<int>(rng() % 277)) * sign(); },
    };
    const int maps[] = {3500, 1500, 1500, 3000}; // Huge: over 1,500 with a route
    for (int family : {Huge, Tiny, Subnormal, Any}) {
        for (int round = 0; round < maps[family]; ++round) {
            std::vector<Vertex> vertices(2 + rng() % 12);
            const bool depth = rng() % 3 == 0;
            for (Vertex& v : vertices)
                v = Vertex{coordinates[family](), coordinates[family](), depth ? coordinates[family]() : 0.0f};
            const int count = static_cast<int>(vertices.size());
            for (int i = 3 * count; i > 0; --i) { // only the links a reader would keep
                const int a = static_cast<int>(rng() % count);
                const int b = static_cast<int>(rng() % count);
                if (std::isfinite(vertexDistance(vertices[a], vertices[b])))
                    toggleLinkIn(vertices, a, b);
            }
            const int start = static_cast<int>(rng() % count);
            const int goal = static_cast<int>(rng() % count);
            ASSERT_EQ(judgeFault(vertices, start, goal), "") << family << " round " << round;
        }
    }
}

// Scaling coordinates by a power of two scales every length, estimate and
// sum exactly, so the search must do exactly what it does unscaled: here the
// scales take the random maps' squares below FLT_MIN and the lattice's
// estimates past FLT_MAX, its links staying below 2^64.
TEST(SearchRange, ScalingAMapByAPowerOfTwoChangesNothingButTheCosts)
{
    std::mt19937 rng(2718);
    for (int round = 0; round < 60; ++round) {
        randomSeed(rng());
        const bool lattice = round % 3 == 0;
        if (lattice)
            generateGridMap();
        else
            generateRandomMap();
        const std::vector<Vertex> plain = scene.vertices;
        const int start = static_cast<int>(rng() % plain.size());
        const int goal = static_cast<int>(rng() % plain.size());
        for (int shift : lattice ? std::vector<int>{-126, -70, 58, 59} : std::vector<int>{-126, -100, -64, 50}) {
            std::vector<Vertex> scaled = plain;
            for (Vertex& v : scaled)
                v.x = std::ldexp(v.x, shift), v.y = std::ldexp(v.y, shift);
            for (Vertex& v : scaled)
                for (int i = 0; i < v.linkCount; ++i)
                    v.links[i].cost = vertexDistance(v, scaled[v.links[i].to]);
            for (SearchMode mode : kModes) {
                std::map<int, int> tableBefore, tableAfter;
                SearchTrace before, after;
                searchRoute(tableBefore, plain, start, goal, mode, &before);
                searchRoute(tableAfter, scaled, start, goal, mode, &after);
                ASSERT_EQ(tableAfter, tableBefore) << round << " " << shift << " " << searchModeName(mode);
                ASSERT_EQ(after.expanded, before.expanded) << round << " " << shift << " " << searchModeName(mode);
                for (std::size_t v = 0; v < plain.size(); ++v) {
                    ASSERT_EQ(after.g[v], std::ldexp(before.g[v], shift)) << round << " " << shift << " " << v;
                    ASSERT_EQ(after.h[v], std::ldexp(before.h[v], shift)) << round << " " << shift << " " << v;
                }
            }
        }
    }
}
