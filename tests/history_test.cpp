#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "ui/input.h"

namespace {

struct Snapshot {
    std::vector<Vertex> vertices;
    Predecessors cameFrom;
    int selections[3];
    std::uint64_t state;
};

// Bit for bit, link entries past linkCount included.
bool verticesAre(const std::vector<Vertex>& expected)
{
    return expected.size() == scene.vertices.size() &&
           (scene.vertices.empty() ||
            std::memcmp(expected.data(), scene.vertices.data(), scene.vertices.size() * sizeof(Vertex)) == 0);
}

bool sceneIs(const Snapshot& s)
{
    return verticesAre(s.vertices) && samePredecessors(s.cameFrom, scene.cameFrom) && s.selections[0] == scene.startVertex &&
           s.selections[1] == scene.goalVertex && s.selections[2] == scene.markedVertex;
}

// One random click, right click or key other than undo and redo.
void randomEdit(int roll)
{
    const int x = randomNext() % 800, y = randomNext() % 600;
    const int modifiers[] = {0, 0, 0, kModifierCtrl, kModifierCtrl, kModifierShift, kModifierAlt};
    if (roll < 7)
        handleMouse(roll == 6 && x < 100 ? kRightButton : kLeftButton, kButtonDown, x, y,
                    modifiers[roll]);
    else
        handleKey(roll == 7 ? 'f' : randomNext() % 8 ? '1' : '2', x, y);
}

void replaceWithBlank(std::size_t count, float firstX)
{
    Scene blank;
    blank.vertices.assign(count, Vertex{});
    blank.vertices[0].x = firstX;
    beginEdit(kEditEverything);
    replaceScene(std::move(blank));
    endEdit();
}

} // namespace

// Every kept edit is a point on a timeline of snapshots. Undo and redo must
// land exactly on its neighbours with their state names; an edit that changed
// nothing adds no point, and a new edit cuts off the points ahead.
TEST(History, UndoAndRedoRetraceRandomEditsExactly)
{
    const unsigned char keys[] = {'u', 'U', 26, 'r', 'R', 25};
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        clearMap();
        clearHistory();
        randomSeed(seed);
        std::vector<Snapshot> timeline{{std::vector<Vertex>{}, Predecessors{}, {-1, -1, -1}, sceneState()}};
        std::size_t at = 0;
        for (int event = 0; event < 600; ++event) {
            const int roll = randomNext() % 15;
            const std::uint64_t revision = graphRevision();
            const std::size_t was = at;
            if (roll >= 9) {
                handleKey(keys[roll - 9], 0, 0);
                at = roll < 12 ? at - (at > 0) : at + (at + 1 < timeline.size());
            } else if (randomEdit(roll), !sceneIs(timeline[at])) {
                timeline.resize(++at);
                for (const Snapshot& earlier : timeline)
                    ASSERT_NE(earlier.state, sceneState()) << seed << " " << event;
                timeline.push_back({scene.vertices, scene.cameFrom,
                                    {scene.startVertex, scene.goalVertex, scene.markedVertex}, sceneState()});
            }
            ASSERT_TRUE(sceneIs(timeline[at])) << seed << " " << event;
            ASSERT_EQ(sceneState(), timeline[at].state) << seed << " " << event;
            const bool redrawn = graphRevision() > revision;
            ASSERT_TRUE(redrawn || verticesAre(timeline[was].vertices)) << seed << " " << event;
        }
        EXPECT_GT(timeline.size(), 50u);
    }
}

TEST(History, DropsTheOldestStepsToStayInsideTheBound)
{
    clearHistory();
    const std::size_t quarter = kHistoryBytes / sizeof(Vertex) / 4 + 1; // three steps fit
    for (int i = 1; i <= 8; ++i) {
        replaceWithBlank(quarter, static_cast<float>(i));
        EXPECT_LE(historyBytes(), kHistoryBytes) << i;
    }
    for (float x : {7.0f, 6.0f, 5.0f})
        EXPECT_TRUE(undoEdit() && scene.vertices[0].x == x) << x;
    EXPECT_FALSE(undoEdit());
    // A step over the bound on its own is kept, alone.
    replaceWithBlank(kHistoryBytes / sizeof(Vertex) + 1, 9.0f);
    replaceWithBlank(1, 10.0f);
    EXPECT_GT(historyBytes(), kHistoryBytes);
    EXPECT_TRUE(undoEdit() && scene.vertices[0].x == 9.0f);
    EXPECT_FALSE(undoEdit());
    // The scene changed without an edit: every step is forgotten, the name changes.
    redoEdit();
    const std::uint64_t state = sceneState();
    clearMap();
    EXPECT_FALSE(undoEdit());
    EXPECT_NE(sceneState(), state);
}
