// The heap search against the plain list search: same result, same table
// entry for entry, same expansion order, on graphs built to be full of ties.
#include <gtest/gtest.h>

#include <random>

#include "app/random.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/astar.h"
#include "route/search.h"
#include "tests/reference_search.h"

namespace {

enum class Family { SmallGrid, Lines3d, RandomMap, Lattice };

// Whole coordinates on a tiny grid: many equal costs, distances and scores,
// coincident points (links of cost 0) and vertices left unlinked.
void buildSmallGrid(std::mt19937& rng, bool withDepth)
{
    clearMap();
    const int count = 1 + static_cast<int>(rng() % 40);
    const int side = 2 + static_cast<int>(rng() % 6);
    for (int i = 0; i < count; ++i) {
        addVertex(static_cast<int>(rng() % side), static_cast<int>(rng() % side));
        if (withDepth)
            vertices.back().z = static_cast<float>(rng() % 3);
    }
    // Depth changes the costs, so links are made after it is set.
    const int toggles = static_cast<int>(rng() % (3 * count + 1));
    for (int i = 0; i < toggles; ++i)
        toggleLink(static_cast<int>(rng() % count), static_cast<int>(rng() % count));
}

void buildGraph(Family family, std::mt19937& rng)
{
    randomSeed(rng());
    switch (family) {
    case Family::SmallGrid:
        buildSmallGrid(rng, false);
        break;
    case Family::Lines3d:
        buildSmallGrid(rng, true);
        break;
    case Family::RandomMap:
        generateRandomMap();
        break;
    case Family::Lattice:
        generateGridMap();
        break;
    }
}

// A few entries that an earlier search may have left, which must survive.
std::map<int, int> earlierTable(std::mt19937& rng)
{
    std::map<int, int> table;
    const int count = static_cast<int>(rng() % 4);
    for (int i = 0; i < count; ++i)
        table[static_cast<int>(rng() % vertices.size())] = static_cast<int>(rng() % vertices.size());
    return table;
}

int pickVertex(std::mt19937& rng)
{
    return static_cast<int>(rng() % vertices.size());
}

} // namespace

TEST(SearchEquivalence, HeapSearchMatchesTheListSearchOnEveryGraph)
{
    struct Case {
        Family family;
        int graphs;
        bool allModes; // the other modes too (they share every rule but the score)
    };
    const Case cases[] = {
        {Family::SmallGrid, 6000, true},
        {Family::Lines3d, 1500, true},
        {Family::RandomMap, 2500, true},
        {Family::Lattice, 60, false},
    };
    const SearchMode modes[] = {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::Greedy};
    std::mt19937 rng(77031);
    int compared = 0;
    for (const Case& c : cases) {
        for (int round = 0; round < c.graphs; ++round) {
            buildGraph(c.family, rng);
            const int start = pickVertex(rng);
            const int goal = rng() % 8 == 0 ? start : pickVertex(rng);
            const std::map<int, int> before = earlierTable(rng);
            for (SearchMode mode : modes) {
                if (mode != SearchMode::AStar && !c.allModes)
                    continue;
                std::map<int, int> expected = before;
                std::map<int, int> actual = before;
                std::vector<int> order;
                SearchTrace trace;
                const bool found = referenceSearch(expected, vertices, start, goal, mode, &order);
                ASSERT_EQ(searchRoute(actual, vertices, start, goal, mode, &trace), found)
                    << "family " << static_cast<int>(c.family) << " round " << round << " " << searchModeName(mode);
                ASSERT_EQ(actual, expected) << "round " << round << " " << searchModeName(mode);
                ASSERT_EQ(trace.expanded, order) << "round " << round << " " << searchModeName(mode);
                if (mode == SearchMode::AStar) {
                    std::map<int, int> plain = before;
                    ASSERT_EQ(aStarSearch(plain, vertices, start, goal), found);
                    ASSERT_EQ(plain, expected);
                }
            }
            ++compared;
        }
    }
    EXPECT_GE(compared, 10000);
}
