// The terrain brush: what t cycles through, which vertices a stroke paints at
// a zoom (against a scan of every vertex), one undo step a stroke, exact
// undo and redo, and a map erased back to plain ground costing as derived.
#include <dirent.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "graph/costs.h"
#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapio/vmap.h"
#include "route/route.h"
#include "ui/brush.h"
#include "ui/document.h"
#include "ui/input.h"
#include "ui/stats_text.h"
#include "ui/status.h"
#include "ui/svg_picture.h"
#include "ui/view.h"

namespace {

bool sameBytes(const std::vector<Vertex>& a, const std::vector<Vertex>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Vertex)) == 0;
}

// A 7 x 7 lattice, 10 pixels apart from (10, 10), linked across and down,
// start at its top-left corner and goal at its bottom-right, routed; one
// undo step.
void makeLattice()
{
    clearMap();
    clearHistory();
    resetView();
    beginEdit(kEditEverything);
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            addVertex(10 + 10 * column, 10 + 10 * row);
    for (int i = 0; i < 49; ++i) {
        if (i % 7 != 6)
            toggleLink(i, i + 1);
        if (i + 7 < 49)
            toggleLink(i, i + 7);
    }
    scene.startVertex = 0;
    scene.goalVertex = 48;
    updateRoute();
    endEdit();
}

void selectBrush(float factor)
{
    resetBrush();
    while (brushFactor() != factor)
        cycleBrush();
}

void press(int x, int y, int modifiers = 0)
{
    handleMouse(kLeftButton, kButtonDown, x, y, modifiers);
}

void release(int x, int y)
{
    handleMouse(kLeftButton, 1, x, y, 0);
}

std::set<int> painted()
{
    std::set<int> found;
    for (int i = 0; i < static_cast<int>(scene.vertices.size()); ++i)
        if (scene.vertices[static_cast<std::size_t>(i)].factor != 1.0f)
            found.insert(i);
    return found;
}

class Brushing : public ::testing::Test {
protected:
    void SetUp() override { makeLattice(); }
    void TearDown() override
    {
        resetBrush();
        resetView();
    }
};

} // namespace

TEST_F(Brushing, TCyclesOffThroughTheFactorsAndErasingAndSaysWhich)
{
    resetBrush();
    const float expected[] = {2.0f, 5.0f, 20.0f, 1.0f, 0.0f, 2.0f};
    const char* said[] = {"brush: sand x2 - drag to paint, t for the next",
                          "brush: mud x5 - drag to paint, t for the next",
                          "brush: swamp x20 - drag to paint, t for the next",
                          "brush: plain ground x1 (erase) - drag to paint, t for the next", "brush off",
                          "brush: sand x2 - drag to paint, t for the next"};
    for (int i = 0; i < 6; ++i) {
        handleKey(i % 2 == 0 ? 't' : 'T', 0, 0);
        EXPECT_EQ(brushFactor(), expected[i]) << i;
        EXPECT_EQ(statusAt(statusClock()), said[i]) << i;
    }
}

TEST_F(Brushing, AStrokeCoversWhatAScanFindsWithinTwelvePixelsAtEveryZoom)
{
    struct Case {
        float zoom;
        int x, y;
        std::set<int> covered;
    };
    // At scale 1 the four neighbours 10 away are in reach, the diagonals 14
    // away are not; zoomed in 4 times, reach is 3 map units.
    const Case cases[] = {
        {1.0f, 40, 40, {17, 23, 24, 25, 31}},
        {1.0f, 45, 40, {17, 18, 24, 25, 31, 32}},
        {1.0f, 0, 0, {}},
        {1.0f, 2, 2, {0}},
        {1.0f, 200, 200, {}},
        {2.0f, 80, 80, {24}},
        {2.0f, 90, 80, {24, 25}},
        {4.0f, 160, 160, {24}},
        {4.0f, 180, 160, {}},
    };
    for (const Case& c : cases) {
        resetView();
        zoomViewAt(0, 0, c.zoom);
        ASSERT_EQ(currentView().scale, c.zoom);
        const std::vector<int> found = verticesUnderBrush(static_cast<float>(c.x), static_cast<float>(c.y));
        // The reference: every vertex, its distance in window pixels.
        std::set<int> scanned;
        for (int i = 0; i < 49; ++i) {
            const MapPoint at = mapToScreen(scene.vertices[static_cast<std::size_t>(i)].x,
                                            scene.vertices[static_cast<std::size_t>(i)].y);
            const double dx = at.x - c.x, dy = at.y - c.y;
            if (dx * dx + dy * dy <= kBrushRadius * kBrushRadius)
                scanned.insert(i);
        }
        EXPECT_EQ(std::set<int>(found.begin(), found.end()), scanned) << c.zoom << " at " << c.x << "," << c.y;
        EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
        EXPECT_EQ(scanned, c.covered) << c.zoom << " at " << c.x << "," << c.y;
    }
}

TEST_F(Brushing, AStrokeIsOneUndoStepAndUndoAndRedoAreExact)
{
    const std::vector<Vertex> plain = scene.vertices;
    const Predecessors plainRoute = scene.cameFrom;
    const std::uint64_t plainState = sceneState();
    const std::uint64_t layout = layoutRevision();
    selectBrush(20.0f);
    // Across the middle row, in motion steps far wider than the brush: no gaps.
    press(10, 40);
    EXPECT_TRUE(strokeIsOpen());
    EXPECT_TRUE(handleDrag(45, 40));
    EXPECT_TRUE(handleDrag(70, 40));
    release(70, 40);
    EXPECT_FALSE(strokeIsOpen());
    std::set<int> row;
    for (int i = 14; i < 35; ++i)
        row.insert(i);
    EXPECT_EQ(painted(), row);
    EXPECT_EQ(scene.vertices.size(), 49u) << "a stroke adds no vertex";
    EXPECT_EQ(layoutRevision(), layout) << "painting moves no vertex";
    EXPECT_TRUE(sceneCostModel().given);
    EXPECT_FALSE(samePredecessors(scene.cameFrom, plainRoute)) << "the route is searched again over the swamp";
    const std::vector<Vertex> swamp = scene.vertices;
    const Predecessors swampRoute = scene.cameFrom;

    // A second stroke over the same ground changes nothing and keeps no step.
    press(10, 40);
    release(10, 40);
    ASSERT_TRUE(undoEdit());
    EXPECT_TRUE(sameBytes(scene.vertices, plain));
    EXPECT_TRUE(samePredecessors(scene.cameFrom, plainRoute));
    EXPECT_EQ(sceneState(), plainState);
    EXPECT_FALSE(sceneCostModel().given);
    ASSERT_TRUE(redoEdit());
    EXPECT_TRUE(sameBytes(scene.vertices, swamp));
    EXPECT_TRUE(samePredecessors(scene.cameFrom, swampRoute));
    ASSERT_TRUE(undoEdit());
    ASSERT_TRUE(undoEdit()) << "the lattice's own step comes next";
    EXPECT_TRUE(scene.vertices.empty());
}

TEST_F(Brushing, ErasingBackToPlainMakesTheMapDerivedAndWritesVersionOne)
{
    const std::string plainText = formatVmap(scene);
    selectBrush(5.0f);
    press(40, 40);
    handleDrag(40, 60);
    release(40, 60);
    const std::string mud = formatVmap(scene);
    EXPECT_EQ(mud.rfind("vialoom-map 2\n", 0), 0u);
    EXPECT_NE(mud.find("factor 24 5\n"), std::string::npos) << mud;
    Scene reread;
    std::string error;
    ASSERT_TRUE(parseVmap(mud, "mud.vmap", reread, error)) << error;
    EXPECT_TRUE(sameBytes(reread.vertices, scene.vertices));

    selectBrush(1.0f);
    press(40, 40);
    handleDrag(40, 60);
    release(40, 60);
    EXPECT_TRUE(painted().empty());
    EXPECT_FALSE(costModelOf(scene.vertices).given);
    EXPECT_EQ(formatVmap(scene), plainText);
    // Erasing was a step of its own.
    ASSERT_TRUE(undoEdit());
    EXPECT_EQ(formatVmap(scene), mud);
}

// With the brush on, only a plain left press paints; off, a click adds a
// vertex as ever; the modified clicks keep their meaning either way.
TEST_F(Brushing, ModifiedClicksAndTheBrushOffKeepTheirMeaning)
{
    selectBrush(2.0f);
    press(40, 40, kModifierAlt);
    EXPECT_EQ(scene.startVertex, 24);
    press(10, 10, kModifierCtrl);
    EXPECT_EQ(scene.markedVertex, 0);
    EXPECT_TRUE(painted().empty());
    press(40, 40);
    release(40, 40);
    EXPECT_EQ(painted(), (std::set<int>{17, 23, 24, 25, 31}));
    EXPECT_EQ(scene.vertices.size(), 49u);

    selectBrush(0.0f);
    press(200, 200);
    release(200, 200);
    EXPECT_EQ(scene.vertices.size(), 50u);
    EXPECT_EQ(scene.vertices.back().x, 200.0f);
    EXPECT_FALSE(strokeIsOpen());
}

// A key pressed while the button is still down closes the stroke first: u
// then undoes the whole stroke, not half of it.
TEST_F(Brushing, AKeyDuringAStrokeClosesItAsOneStep)
{
    const std::vector<Vertex> plain = scene.vertices;
    selectBrush(5.0f);
    press(10, 10);
    handleDrag(70, 70);
    handleKey('u', 0, 0);
    EXPECT_FALSE(strokeIsOpen());
    EXPECT_TRUE(sameBytes(scene.vertices, plain));
    handleKey('r', 0, 0);
    EXPECT_EQ(painted().count(24), 1u);
    // The release that follows finds no stroke and adds nothing.
    release(70, 70);
    EXPECT_EQ(scene.vertices.size(), 49u);
}

TEST(History, FactorsChangeOnlyInsideAnEditThatHoldsThem)
{
    clearMap();
    clearHistory();
    addVertex(1, 1);
    EXPECT_FALSE(editVertexFactor(0, 3.0f)) << "no edit open";
    beginEdit(kEditSelections);
    EXPECT_FALSE(editVertexFactor(0, 3.0f)) << "an edit without factors";
    endEdit();
    beginEdit(kEditFactors);
    EXPECT_FALSE(editVertexFactor(1, 3.0f)) << "not a vertex";
    const std::uint64_t revision = graphRevision();
    EXPECT_TRUE(editVertexFactor(0, 3.0f));
    EXPECT_TRUE(editVertexFactor(0, 7.0f));
    EXPECT_GT(graphRevision(), revision);
    abandonEdit();
    EXPECT_EQ(scene.vertices[0].factor, 1.0f) << "abandoning puts back the first factor, not the second";
    EXPECT_FALSE(undoEdit());
    // Set and set back within one edit: no step.
    beginEdit(kEditFactors);
    editVertexFactor(0, 3.0f);
    editVertexFactor(0, 1.0f);
    endEdit();
    EXPECT_FALSE(undoEdit());
}

// A pointer reported at the ends of int (as the event fuzzer does) neither
// overflows nor paints for ever, whether it pans or paints.
TEST_F(Brushing, MovesToTheEndsOfIntPanAndPaintWithinBounds)
{
    handleMouse(kMiddleButton, kButtonDown, INT_MIN, INT_MIN, 0);
    EXPECT_TRUE(handleDrag(INT_MAX, INT_MAX));
    handleMouse(kMiddleButton, 1, 0, 0, 0);
    resetView();
    selectBrush(2.0f);
    press(INT_MIN, 40);
    EXPECT_TRUE(handleDrag(INT_MAX, 40));
    release(INT_MAX, 40);
    EXPECT_TRUE(painted().size() < 49u);
}

// i shows what painting did: the vertex's factor and each link at its cost,
// the mean of its ends' factors times its length.
TEST_F(Brushing, InspectShowsTheFactorAndWhatEachLinkNowCosts)
{
    selectBrush(5.0f);
    press(40, 40);
    release(40, 40);
    const std::vector<std::string> lines = inspectLines(scene.vertices, 17, nullptr);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "vertex 17 at (40.0, 30.0), terrain x5");
    EXPECT_EQ(lines[1], "links to 10 (30.00), 16 (30.00), 18 (30.00), 24 (50.00)");
    EXPECT_EQ(inspectLines(scene.vertices, 10, nullptr)[0], "vertex 10 at (40.0, 20.0)");
}

// The SVG picture tints as the window does, and a map never painted gets
// no terrain group at all.
TEST_F(Brushing, SvgPicturesCarryOneSquareAPaintedVertexByTint)
{
    SvgScene picture;
    picture.vertices = &scene.vertices;
    EXPECT_EQ(formatSvg(picture).find("terrain"), std::string::npos);
    selectBrush(20.0f);
    press(40, 40);
    release(40, 40);
    selectBrush(2.0f);
    press(10, 10);
    release(10, 10);
    const std::string svg = formatSvg(picture);
    const auto squaresIn = [&svg](const std::string& id) {
        const std::size_t from = svg.find("<g id=\"" + id + "\"");
        if (from == std::string::npos)
            return -1;
        int count = 0;
        for (std::size_t at = svg.find("<rect", from); at < svg.find("</g>", from); at = svg.find("<rect", at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(squaresIn("terrain-2"), 3);
    EXPECT_EQ(squaresIn("terrain-heavy"), 5);
    EXPECT_EQ(squaresIn("terrain-5"), -1);
    EXPECT_LT(svg.find("terrain-heavy"), svg.find("id=\"points\""));
    EXPECT_NE(svg.find("<rect x=\"2.5\" y=\"2.5\" width=\"15\" height=\"15\"/>"), std::string::npos) << svg.substr(0, 600);
}

// The window can close with the button still down: the open stroke counts
// as unsaved work and is kept, not lost, and it becomes an undo step.
TEST_F(Brushing, AStrokeStillOpenIsKeptWhenTheProgramEnds)
{
    char pattern[] = "/tmp/vialoom-brush-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    setenv("XDG_STATE_HOME", folder.c_str(), 1);
    openDocument(scene, folder + "/lattice.vmap");
    ASSERT_FALSE(documentIsUnsaved());
    selectBrush(5.0f);
    press(40, 40);
    ASSERT_TRUE(strokeIsOpen());
    keepUnsavedWork();
    EXPECT_FALSE(strokeIsOpen());
    EXPECT_FALSE(documentIsUnsaved());
    std::string kept;
    DIR* directory = opendir((folder + "/vialoom").c_str());
    for (const dirent* entry; directory != nullptr && (entry = readdir(directory)) != nullptr;)
        if (entry->d_name[0] != '.')
            kept = folder + "/vialoom/" + entry->d_name;
    if (directory != nullptr)
        closedir(directory);
    Scene back;
    std::string error;
    ASSERT_TRUE(readVmapFile(kept, back, error)) << error;
    EXPECT_TRUE(sameBytes(back.vertices, scene.vertices));
    EXPECT_EQ(back.vertices[24].factor, 5.0f);
    EXPECT_TRUE(undoEdit());
    EXPECT_TRUE(painted().empty());
    unsetenv("XDG_STATE_HOME");
    openDocument(Scene{}, ""); // untitled again, as the other tests expect
    EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
}
