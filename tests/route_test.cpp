#include <gtest/gtest.h>

#include "mapgen/random.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/route.h"

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
        std::map<int, int> before, after;
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
        startVertex = c.start;
        goalVertex = c.goal;
        cameFrom = c.before;
        updateRoute();
        EXPECT_EQ(cameFrom, c.after) << c.what;
    }
}

TEST(PickRandomRoute, DrawsStartThenGoalAndNothingOnAnEmptyGraph)
{
    clearMap();
    randomSeed(1);
    pickRandomRoute();
    EXPECT_EQ(startVertex, -1);
    EXPECT_EQ(randomNext(), 41); // nothing was drawn

    addVertex(5, 5);
    pickRandomRoute();
    EXPECT_EQ(startVertex, 0);
    EXPECT_EQ(goalVertex, 0);

    makeLine();
    randomSeed(1); // draws 41 then 18467: start 41 % 4 = 1, goal 18467 % 4 = 3
    pickRandomRoute();
    EXPECT_EQ(startVertex, 1);
    EXPECT_EQ(goalVertex, 3);
    EXPECT_TRUE(cameFrom.empty()); // 3 is unreachable
}

TEST(CurrentRoute, WalksFromGoalToStartAndStopsAtAGap)
{
    makeLine();
    startVertex = 0;
    goalVertex = 2;
    updateRoute();
    EXPECT_EQ(currentRoute(), (std::vector<int>{2, 1, 0}));

    cameFrom.erase(1); // cannot happen through the program; the walk must still end
    EXPECT_EQ(currentRoute(), (std::vector<int>{2, 1}));

    cameFrom = {{2, 1}, {1, 2}}; // nor can a cycle
    EXPECT_LE(currentRoute().size(), vertices.size() + 1);

    goalVertex = 0;
    EXPECT_EQ(currentRoute(), (std::vector<int>{0}));
    cameFrom.clear();
    EXPECT_TRUE(currentRoute().empty());
}
