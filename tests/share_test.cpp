// A drawing as share text and back: the same map, selections, algorithm and
// view, and any damage refused whole with the line it is on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "mapio/vmap.h"
#include "route/route.h"
#include "route/search.h"
#include "route/search_names.h"
#include "ui/document.h"
#include "ui/search_view.h"
#include "ui/share.h"
#include "ui/view.h"

namespace {

struct Drawing {
    std::string map;
    SearchMode mode;
    bool view;
    std::size_t routeSize;
};

Drawing current()
{
    return {formatVmap(scene), searchMode, searchViewShown(), scene.cameFrom.count};
}

void reset()
{
    replaceScene(Scene{});
    clearHistory();
    searchMode = SearchMode::AStar;
    searchHeuristic = Heuristic::Euclidean;
    searchWeight = kDefaultWeight;
    if (searchViewShown())
        toggleSearchView();
    resetView();
}

const std::string kTwoVertices = "vialoom-share 1\nalgorithm greedy\nsearch-view on\n"
                                 "vialoom-map 1\nvertices 2\n0 0 0 1 1\n30 40 0 1 0\nstart 0\ngoal 1\nend\n";

} // namespace

TEST(Share, TextReopensTheSameDrawingAlgorithmAndView)
{
    for (int seed = 1; seed <= 2 * kSearchModeCount; ++seed) {
        reset();
        randomSeed(static_cast<std::uint32_t>(seed));
        seed % 2 == 0 ? generateGridMap() : generateRandomMap();
        searchMode = kSearchModes[seed % kSearchModeCount];
        searchHeuristic = seed % 3 == 0 ? Heuristic::Octile : Heuristic::Euclidean;
        searchWeight = seed % 4 == 0 ? 3.0f : kDefaultWeight;
        pickRandomEnds();
        updateRoute();
        scene.markedVertex = seed % 3 == 0 ? -1 : 1;
        if (seed % 2 == 1)
            toggleSearchView();
        const std::string text = shareText();
        const Drawing before = current();

        const Heuristic heuristic = searchHeuristic;
        const float weight = searchWeight;
        reset();
        generateRandomMap();
        std::string error;
        ASSERT_TRUE(openShareText(text, error)) << error;
        const Drawing after = current();
        EXPECT_EQ(after.map, before.map) << "seed " << seed;
        EXPECT_EQ(after.mode, before.mode) << text.substr(0, 40);
        EXPECT_EQ(searchHeuristic, heuristic);
        EXPECT_EQ(searchWeight, weight);
        EXPECT_EQ(after.view, before.view);
        EXPECT_EQ(after.routeSize, before.routeSize) << "the route is searched again";
        EXPECT_TRUE(seed % 2 == 1 || after.routeSize > 0) << "a lattice always has a route";
        EXPECT_EQ(documentFile(), "") << "a shared drawing has no file yet";
        EXPECT_EQ(shareText(), text);
    }
    reset();
}

TEST(Share, DamagedTextIsRefusedWholeWithItsLine)
{
    const std::string map = kTwoVertices.substr(kTwoVertices.find("vialoom-map"));
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "line 1: not a shared drawing: it must begin with \"vialoom-share 1\""},
        {map, "line 1: not a shared drawing: it must begin with \"vialoom-share 1\""},
        {"vialoom-share 2\nalgorithm astar\nsearch-view on\n" + map,
         "not a shared drawing: it must begin with \"vialoom-share 1\""},
        {"vialoom-share 1\nalgorithm astar\n", "line 3: the text ends before the map"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on", "line 3: the text ends before the map"},
        {"vialoom-share 1\nalgorithm astar\n" + map, "line 3: no search-view line"},
        {"vialoom-share 1\nsearch-view on\n" + map, "line 3: no algorithm line"},
        {"vialoom-share 1\nalgorithm a*\nsearch-view on\n" + map,
         "line 2: unknown algorithm \"a*\" (" + knownModeKeys() + ")"},
        {"vialoom-share 1\nalgorithm astar\nheuristic taxi\nsearch-view on\n" + map,
         "line 3: unknown heuristic \"taxi\" (" + knownHeuristicKeys() + ")"},
        {"vialoom-share 1\nalgorithm astar\nweight 0.5\nsearch-view on\n" + map,
         "line 3: weight must be a number of at least 1"},
        {"vialoom-share 1\nalgorithm astar\nweight 2x\nsearch-view on\n" + map,
         "line 3: weight must be a number of at least 1"},
        {"vialoom-share 1\nalgorithm astar\nweight 3\nweight 3\nsearch-view on\n" + map,
         "line 4: a second weight line"},
        {"vialoom-share 1\nalgorithm astar\nalgorithm greedy\nsearch-view on\n" + map,
         "line 3: a second algorithm line"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view yes\n" + map, "line 3: search-view must be on or off"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on\nsearch-view off\n" + map,
         "line 4: a second search-view line"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on\nzoom 2\n" + map, "line 4: unknown line \"zoom 2\""},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on\nview 0 1 2\n" + map,
         "line 4: view must be three numbers: scale (above 0), left, top"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on\nview 2 1\n" + map,
         "line 4: view must be three numbers: scale (above 0), left, top"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on\nview 2 1 inf\n" + map,
         "line 4: view must be three numbers: scale (above 0), left, top"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on\nview 2 1 3x\n" + map,
         "line 4: view must be three numbers: scale (above 0), left, top"},
        {"vialoom-share 1\nalgorithm astar\nsearch-view on\nview 2 1 3\nview 2 1 3\n" + map,
         "line 5: a second view line"},
        {"vialoom-share 1\r\nalgorithm astar\nsearch-view on\n" + map,
         "not a shared drawing: it must begin with \"vialoom-share 1\""},
    };
    for (const auto& [text, expected] : cases) {
        reset();
        generateGridMap();
        const Drawing before = current();
        std::string error;
        EXPECT_FALSE(openShareText(text, error)) << text;
        EXPECT_EQ(error, expected) << text;
        const Drawing after = current();
        EXPECT_EQ(after.map, before.map) << text;
        EXPECT_EQ(after.mode, before.mode);
        EXPECT_EQ(after.view, before.view);
    }
    reset();
}

// The map's own faults keep its reader's words, on the line of the whole text.
TEST(Share, MapFaultsAreCountedFromTheTopOfTheText)
{
    std::string error;
    reset();
    ASSERT_TRUE(openShareText(kTwoVertices, error)) << error;
    EXPECT_EQ(searchMode, SearchMode::Greedy);
    EXPECT_TRUE(searchViewShown());
    EXPECT_EQ(scene.vertices.size(), 2u);

    for (std::size_t cut = 1; cut < kTwoVertices.size() - 1; ++cut) {
        reset();
        const std::string text = kTwoVertices.substr(0, cut);
        EXPECT_FALSE(openShareText(text, error)) << "cut at " << cut;
        EXPECT_EQ(scene.vertices.size(), 0u) << "cut at " << cut;
        EXPECT_FALSE(searchViewShown()) << "cut at " << cut;
    }
    reset();
    std::string broken = kTwoVertices;
    broken.replace(broken.find("30 40 0 1 0"), 11, "30 40 0 1 1");
    EXPECT_FALSE(openShareText(broken, error));
    EXPECT_EQ(error.rfind("line 7: ", 0), 0u) << error;
    broken = kTwoVertices.substr(0, kTwoVertices.size() - 4);
    EXPECT_FALSE(openShareText(broken, error));
    EXPECT_EQ(error.rfind("line 10: ", 0), 0u) << error;
    reset();
}

// A zoomed and panned view comes back exactly.
TEST(Share, ZoomedViewComesBackExactly)
{
    reset();
    generateGridMap();
    zoomViewAt(130, 170, 3.0f);
    panView(-41, 17);
    const ViewTransform before = currentView();
    const std::string text = shareText();
    EXPECT_NE(text.find("\nview "), std::string::npos);
    reset();
    std::string error;
    ASSERT_TRUE(openShareText(text, error)) << error;
    const ViewTransform after = currentView();
    EXPECT_EQ(after.scale, before.scale);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    // A link without a view line shows the default view.
    ASSERT_TRUE(openShareText(kTwoVertices, error)) << error;
    EXPECT_TRUE(viewIsDefault());
    reset();
}
