// The heap search against the plain list search: same result, same table
// entry for entry, same expansion order, on graphs built to be full of ties.
#include <gtest/gtest.h>

#include <random>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/astar.h"
#include "tests/reference_search.h"

// Whole coordinates on a tiny grid give many equal costs and scores, points
// that coincide (links of cost 0) and vertices left unlinked.
static void buildSmallGrid(std::mt19937& rng, bool withDepth)
{
    clearMap();
    const int count = 1 + static_cast<int>(rng() % 40);
    const int side = 2 + static_cast<int>(rng() % 6);
    for (int i = 0; i < count; ++i) {
        addVertex(static_cast<int>(rng() % side), static_cast<int>(rng() % side));
        scene.vertices.back().z = withDepth ? static_cast<float>(rng() % 3) : 0.0f;
    }
    for (int i = static_cast<int>(rng() % (3 * count + 1)); i > 0; --i)
        toggleLink(static_cast<int>(rng() % count), static_cast<int>(rng() % count));
}

TEST(SearchEquivalence, HeapSearchMatchesTheListSearchOnEveryGraph)
{
    enum Family { SmallGrid, SmallGridWithDepth, RandomMap, Lattice };
    const int graphsPerFamily[] = {6000, 1500, 2500, 60};
    const SearchMode modes[] = {SearchMode::AStar, SearchMode::Dijkstra, SearchMode::Greedy, SearchMode::Weighted};
    std::mt19937 rng(77031);
    for (int family : {SmallGrid, SmallGridWithDepth, RandomMap, Lattice}) {
        for (int round = 0; round < graphsPerFamily[family]; ++round) {
            randomSeed(rng());
            if (family == RandomMap)
                generateRandomMap();
            else if (family == Lattice)
                generateGridMap();
            else
                buildSmallGrid(rng, family == SmallGridWithDepth);
            const int start = static_cast<int>(rng() % scene.vertices.size());
            const int goal = rng() % 8 == 0 ? start : static_cast<int>(rng() % scene.vertices.size());
            // Entries an earlier search left, which must survive.
            const std::map<int, int> before{{static_cast<int>(rng() % scene.vertices.size()), 0}};
            for (SearchMode mode : modes) {
                std::map<int, int> expected = before;
                std::map<int, int> actual = before;
                std::vector<int> order;
                SearchTrace trace;
                const bool found = referenceSearch(expected, scene.vertices, start, goal, mode, &order);
                const std::string where = std::to_string(family) + " round " + std::to_string(round) + " " +
                                          searchModeName(mode);
                ASSERT_EQ(searchRoute(actual, scene.vertices, start, goal, mode, &trace), found) << where;
                ASSERT_EQ(actual, expected) << where;
                ASSERT_EQ(trace.expanded, order) << where;
                // Without a trace the search keeps its own compact tables:
                // both kinds of table must come out the same.
                std::map<int, int> untraced = before;
                Predecessors flat = predecessorTable({before.begin(), before.end()});
                ASSERT_EQ(searchRoute(untraced, scene.vertices, start, goal, mode, nullptr), found) << where;
                ASSERT_EQ(searchRoute(flat, scene.vertices, start, goal, mode, nullptr), found) << where;
                ASSERT_EQ(untraced, expected) << where;
                ASSERT_EQ(predecessorEntries(flat), PredecessorEntries(expected.begin(), expected.end())) << where;
                if (family == Lattice)
                    break; // the list search is slow there: A* only
            }
        }
    }
}

// Every heuristic the window offers, with and without a trace: the compact
// untraced search and the traced one must leave the same table.
TEST(SearchEquivalence, UntracedSearchesMatchTracedOnesUnderEveryHeuristic)
{
    std::mt19937 rng(1207);
    for (int round = 0; round < 1500; ++round) {
        randomSeed(rng());
        buildSmallGrid(rng, round % 2 == 1);
        const int start = static_cast<int>(rng() % scene.vertices.size());
        const int goal = static_cast<int>(rng() % scene.vertices.size());
        for (int h = 0; h < kHeuristicCount; ++h)
            for (SearchMode mode : {SearchMode::AStar, SearchMode::Greedy, SearchMode::Weighted}) {
                const SearchChoice choice{mode, static_cast<Heuristic>(h), round % 3 == 0 ? 1.5f : kDefaultWeight};
                Predecessors traced;
                Predecessors untraced;
                SearchTrace trace;
                const bool found = searchRouteWith(traced, scene.vertices, start, goal, choice, &trace);
                ASSERT_EQ(searchRouteWith(untraced, scene.vertices, start, goal, choice, nullptr), found);
                ASSERT_TRUE(samePredecessors(traced, untraced)) << "round " << round << " heuristic " << h;
            }
    }
}
