// The flat predecessor table against an ordered map given the same writes:
// the table the scene held before, whose behaviour it must keep.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "graph/predecessors.h"
#include "graph/scene.h"
#include "route/astar.h"
#include "tests/reference_search.h"

static PredecessorEntries entriesOf(const std::map<int, int>& map)
{
    return PredecessorEntries(map.begin(), map.end());
}

TEST(Predecessors, RandomWritesLeaveWhatAnOrderedMapHolds)
{
    std::mt19937 rng(4127);
    for (int round = 0; round < 300; ++round) {
        Predecessors table;
        std::map<int, int> map;
        for (int write = static_cast<int>(rng() % 40); write > 0; --write) {
            const int vertex = static_cast<int>(rng() % 24);
            const int from = static_cast<int>(rng() % 5) - 1; // -1 removes
            setCameFrom(table, vertex, from);
            if (from < 0)
                map.erase(vertex);
            else
                map[vertex] = from;
            if (rng() % 16 == 0) {
                clearPredecessors(table);
                map.clear();
            }
        }
        ASSERT_EQ(predecessorEntries(table), entriesOf(map)) << round;
        ASSERT_EQ(table.count, map.size()) << round;
        ASSERT_EQ(noPredecessors(table), map.empty()) << round;
        for (int vertex : {-3, -1, 0, 7, 23, 24, 1000})
            ASSERT_EQ(cameFromOf(table, vertex), map.count(vertex) ? map.at(vertex) : -1) << round << " " << vertex;
        // Rebuilt from its entries, and longer or shorter, it is still the same table.
        Predecessors copy = predecessorTable(predecessorEntries(table));
        copy.from.resize(copy.from.size() + rng() % 4, -1);
        ASSERT_TRUE(samePredecessors(table, copy) && samePredecessors(copy, table)) << round;
        setCameFrom(copy, static_cast<int>(rng() % 30), 9);
        ASSERT_FALSE(samePredecessors(table, copy)) << round;
    }
}

// The search writes the flat table exactly as it writes the map, over
// entries an earlier search left, on graphs full of ties.
TEST(Predecessors, SearchWritesTheSameEntriesAsIntoTheMap)
{
    std::mt19937 rng(90211);
    for (int round = 0; round < 400; ++round) {
        std::vector<Vertex> graph;
        const int count = 1 + static_cast<int>(rng() % 30);
        for (int i = 0; i < count; ++i) {
            Vertex vertex;
            vertex.x = static_cast<float>(rng() % 5);
            vertex.y = static_cast<float>(rng() % 5);
            graph.push_back(vertex);
        }
        for (int i = static_cast<int>(rng() % (3 * count + 1)); i > 0; --i)
            toggleLinkIn(graph, static_cast<int>(rng() % count), static_cast<int>(rng() % count));
        const std::map<int, int> earlier{{static_cast<int>(rng() % count), 0}};
        Predecessors table = predecessorTable(entriesOf(earlier));
        std::map<int, int> expected = earlier;
        const int start = static_cast<int>(rng() % count), goal = static_cast<int>(rng() % count);
        ASSERT_EQ(aStarSearch(table, graph, start, goal), referenceSearch(expected, graph, start, goal,
                                                                           SearchMode::AStar, nullptr));
        ASSERT_EQ(predecessorEntries(table), entriesOf(expected)) << round;
    }
}

TEST(Predecessors, SceneConsistencyChecksEveryEntryAndTheCount)
{
    struct Case {
        const char* what;
        void (*spoil)(Predecessors&);
        bool consistent;
    };
    const Case cases[] = {
        {"entries within the graph", [](Predecessors& t) { setCameFrom(t, 2, 1); }, true},
        {"a vertex past the graph", [](Predecessors& t) { setCameFrom(t, 3, 1); }, false},
        {"a predecessor past the graph", [](Predecessors& t) { setCameFrom(t, 1, 3); }, false},
        {"a negative predecessor", [](Predecessors& t) { t.from.assign(2, -1), t.from[1] = -2, t.count = 1; }, false},
        {"a count that lies", [](Predecessors& t) { setCameFrom(t, 1, 0), t.count = 2; }, false},
        {"trailing empty entries", [](Predecessors& t) { t.from.assign(9, -1); }, true},
    };
    for (const Case& c : cases) {
        Scene checked;
        checked.vertices.resize(3);
        c.spoil(checked.cameFrom);
        EXPECT_EQ(sceneIsConsistent(checked), c.consistent) << c.what;
    }
}
