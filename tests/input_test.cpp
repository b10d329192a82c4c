#include <gtest/gtest.h>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "ui/input.h"

namespace {

constexpr int kAlt = kModifierAlt;
constexpr int kShift = kModifierShift;
constexpr int kCtrl = kModifierCtrl;

// Vertices 0 at (100,100), 1 at (300,100), 2 at (500,100); 0-1 linked.
void makeRow()
{
    clearMap();
    addVertex(100, 100);
    addVertex(300, 100);
    addVertex(500, 100);
    toggleLink(0, 1);
}

bool click(int x, int y, int modifiers = 0)
{
    return handleMouse(kLeftButton, kButtonDown, x, y, modifiers);
}

} // namespace

TEST(HandleMouse, ModifiersDecideInOrderAltShiftCtrl)
{
    struct Case {
        int modifiers;
        int start, goal, mark;
    };
    const Case cases[] = {
        {kAlt, 2, -1, -1},
        {kAlt | kShift, 2, -1, -1},
        {kAlt | kShift | kCtrl, 2, -1, -1},
        {kShift, -1, 2, -1},
        {kShift | kCtrl, -1, 2, -1},
        {kCtrl, -1, -1, 2},
    };
    for (const Case& c : cases) {
        makeRow();
        EXPECT_TRUE(click(490, 110, c.modifiers));
        EXPECT_EQ(scene.vertices.size(), 3u) << c.modifiers;
        EXPECT_EQ(scene.startVertex, c.start) << c.modifiers;
        EXPECT_EQ(scene.goalVertex, c.goal) << c.modifiers;
        EXPECT_EQ(scene.markedVertex, c.mark) << c.modifiers;
    }
}

TEST(HandleMouse, ClicksEditTheGraphAndSelectTheRoute)
{
    makeRow();
    EXPECT_TRUE(click(100, 100)); // a plain click adds, even on top of a vertex
    EXPECT_EQ(scene.vertices.size(), 4u);

    click(300, 100, kCtrl); // chain 1, 2, 0: links 1-2 and 2-0, unlinks nothing else
    click(500, 100, kCtrl);
    click(101, 100, kCtrl);
    EXPECT_EQ(scene.vertices[2].linkCount, 2);
    EXPECT_EQ(scene.markedVertex, 0);
    click(100, 100, kCtrl); // the marked vertex itself: no link change
    EXPECT_EQ(scene.vertices[0].linkCount, 2);

    EXPECT_TRUE(handleMouse(kRightButton, kButtonDown, 0, 0, kAlt)); // clears the mark only
    EXPECT_EQ(scene.markedVertex, -1);
    EXPECT_EQ(scene.vertices[0].linkCount, 2);

    click(500, 100, kShift); // goal alone: no search yet
    EXPECT_TRUE(scene.cameFrom.empty());
    click(100, 100, kAlt); // start: route 0 -> 2 directly
    EXPECT_EQ(scene.cameFrom.at(2), 0);

    const std::size_t count = scene.vertices.size();
    EXPECT_TRUE(handleMouse(kLeftButton, 1, 50, 50, 0)); // a release does nothing
    EXPECT_TRUE(handleMouse(1, kButtonDown, 50, 50, 0)); // nor does the middle button
    EXPECT_EQ(scene.vertices.size(), count);
    EXPECT_TRUE(sceneIsConsistent(scene));
}

TEST(HandleMouse, ModifierClicksOnAnEmptyGraphChangeNothing)
{
    for (int modifiers : {kAlt, kShift, kCtrl}) {
        clearMap();
        EXPECT_FALSE(click(10, 10, modifiers));
        EXPECT_TRUE(scene.vertices.empty());
        EXPECT_EQ(scene.startVertex + scene.goalVertex + scene.markedVertex, -3);
    }
}

TEST(HandleKey, RunsTheCommandsAndOnlyThem)
{
    for (int key : {27, int{'q'}, int{'Q'}})
        EXPECT_FALSE(handleKey(static_cast<unsigned char>(key), 0, 0)) << key;

    clearMap();
    randomSeed(5);
    for (int key : {int{'f'}, int{'F'}, int{'a'}, int{'z'}, int{'3'}, int{' '}, 255})
        EXPECT_TRUE(handleKey(static_cast<unsigned char>(key), 0, 0)) << key;
    EXPECT_TRUE(scene.vertices.empty());
    EXPECT_EQ(scene.startVertex, -1);
    randomSeed(5);
    const int untouched = randomNext();
    randomSeed(5);
    handleKey('x', 0, 0);
    EXPECT_EQ(randomNext(), untouched);

    handleKey('2', 0, 0);
    EXPECT_EQ(scene.vertices.size(), 1600u);
    handleKey('F', 0, 0);
    EXPECT_NE(scene.startVertex, -1);
    handleKey('1', 0, 0);
    EXPECT_EQ(scene.startVertex, -1);
    const std::vector<Vertex> first = scene.vertices;
    handleKey('1', 0, 0); // the generator is not re-seeded: another map
    EXPECT_FALSE(first.size() == scene.vertices.size() && first[1].x == scene.vertices[1].x &&
                 first[1].y == scene.vertices[1].y);
}
