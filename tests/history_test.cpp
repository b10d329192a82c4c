#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "app/random.h"
#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "ui/input.h"

namespace {

struct Snapshot {
    std::vector<Vertex> vertices;
    std::map<int, int> cameFrom;
    int start, goal, mark;
    std::uint64_t state;
};

Snapshot snapshot()
{
    return {vertices, cameFrom, startVertex, goalVertex, markedVertex, sceneState()};
}

// Bit for bit, link entries past linkCount included.
bool verticesAre(const std::vector<Vertex>& expected)
{
    return expected.size() == vertices.size() &&
           (vertices.empty() ||
            std::memcmp(expected.data(), vertices.data(), vertices.size() * sizeof(Vertex)) == 0);
}

bool sceneIs(const Snapshot& s)
{
    return verticesAre(s.vertices) && s.cameFrom == cameFrom && s.start == startVertex && s.goal == goalVertex &&
           s.mark == markedVertex;
}

void freshScene()
{
    clearMap();
    clearHistory();
}

void click(int x, int y, int modifiers = 0)
{
    handleMouse(kLeftButton, kButtonDown, x, y, modifiers);
}

// One random action that is not undo or redo.
void randomEdit(int roll)
{
    const int x = randomNext() % 800;
    const int y = randomNext() % 600;
    const int modifiers[] = {0, 0, 0, kModifierCtrl, kModifierCtrl, kModifierShift, kModifierAlt};
    if (roll < 7)
        click(x, y, modifiers[roll]);
    else if (roll == 7)
        handleMouse(kRightButton, kButtonDown, x, y, 0);
    else
        handleKey(roll == 8 ? 'f' : '1', x, y);
}

// Scenes made directly: n blank vertices, the first at x.
void replaceWithBlank(std::size_t n, float x)
{
    beginEdit(kEditEverything);
    vertices.assign(n, Vertex{});
    vertices[0].x = x;
    endEdit();
}

} // namespace

// Every kept edit is a point on a timeline of snapshots; undo and redo must
// land exactly on its neighbours, and an edit that changed nothing adds none.
TEST(History, UndoAndRedoRetraceRandomEditsExactly)
{
    const unsigned char undoKeys[] = {'u', 'U', 26}, redoKeys[] = {'r', 'R', 25};
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        freshScene();
        randomSeed(seed);
        std::vector<Snapshot> timeline{snapshot()};
        std::size_t at = 0;
        for (int event = 0; event < 600; ++event) {
            const int roll = randomNext() % 16;
            const std::uint64_t revision = verticesRevision;
            const std::size_t was = at;
            if (roll >= 10) {
                const bool undo = roll < 13;
                handleKey(undo ? undoKeys[roll - 10] : redoKeys[roll - 13], 0, 0);
                if (undo && at > 0)
                    --at;
                else if (!undo && at + 1 < timeline.size())
                    ++at;
            } else {
                randomEdit(roll);
                if (!sceneIs(timeline[at])) {
                    timeline.resize(++at);
                    for (const Snapshot& earlier : timeline)
                        ASSERT_NE(earlier.state, sceneState()) << seed << " " << event;
                    timeline.push_back(snapshot());
                }
            }
            ASSERT_TRUE(sceneIs(timeline[at])) << seed << " " << event;
            ASSERT_EQ(sceneState(), timeline[at].state) << seed << " " << event;
            const bool redrawn = verticesRevision > revision;
            ASSERT_TRUE(redrawn || verticesAre(timeline[was].vertices)) << seed << " " << event;
        }
        EXPECT_GT(timeline.size(), 50u);
    }
}

TEST(History, RelinkReturnsToItsPlaceInBothTables)
{
    freshScene();
    for (int x : {100, 200, 300, 400})
        click(x, 100);
    // 0 links 1, 2, 3 in that order; 2 links 0, then 1.
    for (auto [a, b] : {std::pair{100, 200}, {100, 300}, {100, 400}, {300, 200}}) {
        click(a, 100, kModifierCtrl), click(b, 100, kModifierCtrl);
        handleMouse(kRightButton, kButtonDown, 0, 0, 0);
    }
    click(100, 100, kModifierCtrl);
    const Snapshot linked = snapshot();
    click(300, 100, kModifierCtrl); // unlinks 0-2, the middle entry
    ASSERT_EQ(vertices[0].linkCount, 2);
    ASSERT_TRUE(undoEdit());
    EXPECT_TRUE(sceneIs(linked));
    EXPECT_EQ(sceneState(), linked.state);
    beginEdit(kEditLinks, 1, 1); // one vertex named twice is held once
    vertices[1].z = 1.0f;
    endEdit();
    EXPECT_TRUE(undoEdit() && sceneIs(linked) && redoEdit() && vertices[1].z == 1.0f);
}

TEST(History, GeneratorsAreUndoneWhole)
{
    freshScene();
    click(10, 10), click(20, 30), click(10, 10, kModifierCtrl), click(20, 30, kModifierCtrl);
    const Snapshot drawn = snapshot();
    handleKey('2', 0, 0);
    handleKey('f', 0, 0);
    const Snapshot lattice = snapshot();
    handleKey('1', 0, 0);
    EXPECT_TRUE(undoEdit() && undoEdit() && undoEdit());
    EXPECT_TRUE(sceneIs(drawn));
    EXPECT_TRUE(redoEdit() && redoEdit());
    EXPECT_TRUE(sceneIs(lattice));
    click(5, 5); // a new edit clears the redo step of the `1`
    EXPECT_FALSE(redoEdit());
}

TEST(History, EditsThatChangeNothingKeepNoStep)
{
    const struct {
        const char* what;
        bool marked;
        void (*act)();
    } cases[] = {
        {"right click, no mark", false, [] { handleMouse(kRightButton, kButtonDown, 0, 0, 0); }},
        {"CTRL+click the mark", true, [] { click(11, 10, kModifierCtrl); }},
        {"ALT+click the start", true, [] { click(49, 10, kModifierAlt); }},
        {"SHIFT+click the goal", true, [] { click(9, 10, kModifierShift); }},
        {"edit around nothing", true, [] { beginEdit(kEditEverything); endEdit(); }},
    };
    for (const auto& c : cases) {
        freshScene();
        click(10, 10), click(50, 10);
        click(50, 10, kModifierAlt), click(10, 10, kModifierShift); // unlinked: no route
        if (c.marked)
            click(10, 10, kModifierCtrl);
        clearHistory();
        const std::uint64_t state = sceneState();
        c.act();
        EXPECT_EQ(sceneState(), state) << c.what;
        EXPECT_EQ(historyBytes(), 0u) << c.what;
        EXPECT_FALSE(undoEdit()) << c.what;
    }
}

TEST(History, DropsTheOldestStepsToStayInsideTheBound)
{
    freshScene();
    const std::size_t quarter = kHistoryBytes / sizeof(Vertex) / 4 + 1; // three steps fit
    for (int i = 1; i <= 8; ++i) {
        replaceWithBlank(quarter, static_cast<float>(i));
        EXPECT_LE(historyBytes(), kHistoryBytes) << i;
    }
    for (float x : {7.0f, 6.0f, 5.0f}) {
        ASSERT_TRUE(undoEdit());
        EXPECT_EQ(vertices[0].x, x);
    }
    EXPECT_FALSE(undoEdit());
    // A step over the bound on its own is kept, alone.
    replaceWithBlank(kHistoryBytes / sizeof(Vertex) + 1, 9.0f);
    replaceWithBlank(1, 10.0f);
    EXPECT_GT(historyBytes(), kHistoryBytes);
    EXPECT_TRUE(undoEdit());
    EXPECT_EQ(vertices[0].x, 9.0f);
    EXPECT_FALSE(undoEdit());
    freshScene();
}

TEST(History, ForgetsStepsWhenTheSceneChangedBehindItsBack)
{
    freshScene();
    click(10, 10), click(20, 20);
    const std::uint64_t state = sceneState();
    clearMap(); // not bracketed by an edit
    EXPECT_FALSE(undoEdit());
    EXPECT_NE(sceneState(), state);
    EXPECT_TRUE(vertices.empty());
}
