// The compact search every command and click runs: where it may stand in for
// the traced one, and that running out of memory in it leaves nothing behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <random>

#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/search.h"
#include "route/untraced_search.h"
#include "tests/failing_new.h"

TEST(UntracedSearch, FitsOnlyTheAStarFamilyOnDerivedCostsAndGraphsItsKeysCanNumber)
{
    const CostModel derived{};
    const CostModel given{true, 1.0};
    struct Case {
        SearchMode mode;
        const CostModel* costs;
        std::size_t vertices;
        bool fits;
    };
    const Case cases[] = {
        {SearchMode::AStar, &derived, 1600, true},
        {SearchMode::Dijkstra, &derived, 1600, true},
        {SearchMode::Greedy, &derived, 1600, true},
        {SearchMode::Weighted, &derived, 1600, true},
        {SearchMode::AStar, &given, 1600, false}, // sums in double: the traced path's
        {SearchMode::BiAStar, &derived, 1600, false},
        {SearchMode::Bfs, &derived, 1600, false},
        {SearchMode::Jps, &derived, 1600, false},
        {SearchMode::Alt, &derived, 1600, false},
        {SearchMode::Ch, &derived, 1600, false},
        {SearchMode::AStar, &derived, kMaxUntracedVertices, true},
        {SearchMode::AStar, &derived, kMaxUntracedVertices + 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(untracedSearchFits(SearchChoice{c.mode}, *c.costs, c.vertices), c.fits)
            << searchModeName(c.mode) << " on " << c.vertices;
    // Every push a search can make must have its own number below the two marks.
    EXPECT_LT(std::uint64_t{kMaxUntracedVertices} * kMaxLinks + 1, std::uint64_t{0xfffffffe});
}

// Whichever allocation fails, the search throws, and the next one, on the
// same graph or a smaller one, leaves the table a traced search leaves.
TEST(UntracedSearch, AFailedAllocationLeavesTheNextSearchExact)
{
    randomSeed(5);
    generateGridMap();
    const std::vector<Vertex> lattice = scene.vertices;
    generateRandomMap();
    const std::vector<Vertex> smaller = scene.vertices;
    const int goal = static_cast<int>(lattice.size()) - 1;
    for (long count = 0;; ++count) {
        Predecessors table;
        failAllocationAfter(count);
        bool threw = false;
        try {
            searchRoute(table, lattice, 0, goal, SearchMode::AStar, nullptr);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        const bool failed = stopFailingAllocations();
        EXPECT_EQ(threw, failed) << count;
        for (const std::vector<Vertex>* graph : {&smaller, &lattice}) {
            const int last = static_cast<int>(graph->size()) - 1;
            Predecessors untraced, traced;
            SearchTrace trace;
            ASSERT_EQ(searchRoute(untraced, *graph, 0, last, SearchMode::AStar, nullptr),
                      searchRoute(traced, *graph, 0, last, SearchMode::AStar, &trace));
            ASSERT_TRUE(samePredecessors(untraced, traced)) << "after failing allocation " << count;
        }
        if (!failed)
            break;
    }
}
