#include <gtest/gtest.h>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/route.h"
#include "ui/input.h"

namespace {

// 0-1-2 in a row, 3 alone.
void makeLine()
{
    clearMap();
    addVertex(0, 0);
    addVertex(10, 0);
    addVertex(20, 0);
    addVertex(90, 90);
    toggleLink(0, 1);
    toggleLink(1, 2);
}

} // namespace

TEST(UpdateRoute, KeepsOrDropsTheTableByTheSearchResult)
{
    struct Case {
        const char* what;
        int start, goal;
        PredecessorEntries before, after;
    };
    const Case cases[] = {
        {"goal before start runs no search", -1, 2, {{3, 3}}, {{3, 3}}},
        {"start before goal runs no search", 0, -1, {{3, 3}}, {{3, 3}}},
        {"a failed search empties the table", 0, 3, {{3, 3}}, {}},
        {"a success keeps older entries", 0, 2, {{3, 3}}, {{1, 0}, {2, 1}, {3, 3}}},
        {"start equal to goal writes nothing", 1, 1, {}, {}},
    };
    for (const Case& c : cases) {
        makeLine();
        scene.startVertex = c.start;
        scene.goalVertex = c.goal;
        scene.cameFrom = predecessorTable(c.before);
        updateRoute();
        EXPECT_EQ(predecessorEntries(scene.cameFrom), c.after) << c.what;
    }
}

// Key f: the random pick, then the route.
TEST(PickRandomRoute, DrawsStartThenGoalAndNothingOnAnEmptyGraph)
{
    clearMap();
    randomSeed(1);
    handleKey('f', 0, 0);
    EXPECT_EQ(scene.startVertex, -1);
    EXPECT_EQ(randomNext(), 41); // nothing was drawn

    addVertex(5, 5);
    handleKey('f', 0, 0);
    EXPECT_EQ(scene.startVertex, 0);
    EXPECT_EQ(scene.goalVertex, 0);

    makeLine();
    randomSeed(1); // draws 41 then 18467: start 41 % 4 = 1, goal 18467 % 4 = 3
    handleKey('f', 0, 0);
    EXPECT_EQ(scene.startVertex, 1);
    EXPECT_EQ(scene.goalVertex, 3);
    EXPECT_TRUE(noPredecessors(scene.cameFrom)); // 3 is unreachable
}

TEST(CurrentRoute, WalksFromGoalToStartAndGivesNoneForAGap)
{
    makeLine();
    scene.startVertex = 0;
    scene.goalVertex = 2;
    updateRoute();
    EXPECT_EQ(currentRoute(), (std::vector<int>{2, 1, 0}));

    setCameFrom(scene.cameFrom, 1, -1); // cannot happen through the program; the walk must still end
    EXPECT_TRUE(currentRoute().empty());

    scene.cameFrom = predecessorTable({{2, 1}, {1, 2}}); // nor can a cycle
    EXPECT_LE(currentRoute().size(), scene.vertices.size() + 1);

    scene.goalVertex = 0;
    EXPECT_EQ(currentRoute(), (std::vector<int>{0}));
    clearPredecessors(scene.cameFrom);
    EXPECT_TRUE(currentRoute().empty());
}
