// The vertex grid against a plain scan of every vertex, and the view's
// conversions between window pixels and map positions.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "graph/scene.h"
#include "graph/vertex_grid.h"
#include "mapgen/mapgen.h"
#include "ui/svg_picture.h"
#include "ui/view.h"

namespace {

// The plain scan the grid must agree with, rounding as written.
int scanNearest(const std::vector<Vertex>& vertices, float x, float y)
{
    float best = FLT_MAX;
    int found = -1;
    for (int i = 0; i < static_cast<int>(vertices.size()); ++i) {
        const float dx = vertices[static_cast<std::size_t>(i)].x - x;
        const float dy = vertices[static_cast<std::size_t>(i)].y - y;
        const float xx = dx * dx;
        const float yy = dy * dy;
        const float distance = xx + yy;
        if (distance < best) {
            best = distance;
            found = i;
        }
    }
    return found;
}

Vertex at(float x, float y)
{
    Vertex vertex;
    vertex.x = x;
    vertex.y = y;
    return vertex;
}

// Maps that stress the grid: ties on whole coordinates, piles of equal
// points, a line, clusters far apart, huge and tiny spreads, and points that
// are not finite.
std::vector<Vertex> randomMap(std::mt19937& random, int kind)
{
    std::vector<Vertex> vertices;
    const int count = 1 + static_cast<int>(random() % 400);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < count; ++i) {
        const float u = unit(random), v = unit(random);
        switch (kind) {
        case 0: vertices.push_back(at(std::floor(u * 20.0f), std::floor(v * 20.0f))); break;
        case 1: vertices.push_back(at(std::floor(u * 3.0f), 7.0f)); break;
        case 2: vertices.push_back(at(u * 800.0f, 300.0f)); break;
        case 3: vertices.push_back(at(u + (i % 2 ? 1e6f : -1e6f), v)); break;
        case 4: vertices.push_back(at(u * 1e30f, v * -1e30f)); break;
        case 5: vertices.push_back(at(u * 1e-30f, v * 1e-30f)); break;
        default: {
            const float odd[] = {NAN, INFINITY, -INFINITY};
            vertices.push_back(i % 3 == 0 ? at(odd[i % 9 / 3], v) : at(u * 600.0f, v * 600.0f));
        }
        }
    }
    return vertices;
}

} // namespace

TEST(VertexGrid, NearestIsThePlainScansOnRandomMaps)
{
    std::mt19937 random(16);
    std::uniform_real_distribution<float> anywhere(-100.0f, 900.0f);
    int checked = 0;
    for (int map = 0; map < 700; ++map) {
        const int kind = map % 7;
        const std::vector<Vertex> vertices = randomMap(random, kind);
        VertexGrid grid;
        buildVertexGrid(grid, vertices);
        const float scales[] = {1.0f, 1.0f, 1.0f, 1.0f, 1e30f, 1e-30f, 1.0f};
        for (int query = 0; query < 60; ++query) {
            float x = anywhere(random) * scales[kind], y = anywhere(random) * scales[kind];
            if (query % 4 == 0) { // right on a vertex, or a whole pixel among the ties
                const Vertex& on = vertices[random() % vertices.size()];
                x = query % 8 == 0 ? on.x : std::round(on.x);
                y = query % 8 == 0 ? on.y : std::round(on.y);
            }
            if (query == 59)
                x = y = 3e38f; // so far that every distance overflows
            ASSERT_EQ(nearestInGrid(grid, vertices, x, y), scanNearest(vertices, x, y))
                << "map " << map << " kind " << kind << " at " << x << "," << y;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 700 * 60);
}

TEST(VertexGrid, BoxesHoldEveryVertexInsideAndCountsMatch)
{
    std::mt19937 random(61);
    std::uniform_real_distribution<double> anywhere(-50.0, 650.0);
    for (int map = 0; map < 200; ++map) {
        const std::vector<Vertex> vertices = randomMap(random, map % 3 == 0 ? 6 : map % 3);
        VertexGrid grid;
        buildVertexGrid(grid, vertices);
        for (int query = 0; query < 20; ++query) {
            double a = anywhere(random), b = anywhere(random), c = anywhere(random), d = anywhere(random);
            const MapBox box{std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)};
            std::vector<int> found;
            verticesInBox(grid, box, found);
            EXPECT_EQ(found.size(), countInBox(grid, box));
            std::vector<bool> listed(vertices.size());
            for (int index : found)
                listed[static_cast<std::size_t>(index)] = true;
            for (std::size_t i = 0; i < vertices.size(); ++i) {
                const Vertex& v = vertices[i];
                const bool inside = v.x >= box.left && v.x <= box.right && v.y >= box.top && v.y <= box.bottom;
                ASSERT_TRUE(!inside || listed[i]) << "vertex " << i << " missed, map " << map;
            }
        }
    }
}

TEST(VertexGrid, FollowsTheSceneAndItsLongestLink)
{
    clearMap();
    EXPECT_EQ(nearestVertex(5, 5), -1);
    addVertex(0, 0);
    addVertex(30, 40);
    EXPECT_EQ(nearestVertex(20, 30), 1);
    toggleLink(0, 1);
    EXPECT_DOUBLE_EQ(sceneGrid().longestLink, 50.0);
    addVertexAt(20.25f, 30.5f);
    EXPECT_EQ(nearestVertexAt(20.3f, 30.4f), 2);
    EXPECT_EQ(scene.vertices[2].x, 20.25f);
    clearMap();
}

TEST(View, DefaultIsExactAndZoomKeepsThePointUnderThePointer)
{
    clearMap();
    generateGridMap();
    setViewWindow(800, 600);
    resetView();
    EXPECT_TRUE(viewIsDefault());
    for (int x : {0, 1, 333, 799})
        for (int y : {0, 7, 599}) {
            const MapPoint m = screenToMap(static_cast<float>(x), static_cast<float>(y));
            EXPECT_EQ(m.x, static_cast<float>(x));
            EXPECT_EQ(m.y, static_cast<float>(y));
        }

    struct Step {
        int x, y;
        float factor;
    };
    const Step steps[] = {{100, 100, kZoomStep}, {700, 20, kZoomStep}, {400, 300, 4.0f}, {5, 590, 1.0f / kZoomStep}};
    for (const Step& step : steps) {
        const MapPoint before = screenToMap(static_cast<float>(step.x), static_cast<float>(step.y));
        zoomViewAt(step.x, step.y, step.factor);
        const MapPoint after = screenToMap(static_cast<float>(step.x), static_cast<float>(step.y));
        EXPECT_NEAR(after.x, before.x, 1e-3f);
        EXPECT_NEAR(after.y, before.y, 1e-3f);
        const MapPoint back = mapToScreen(after.x, after.y);
        EXPECT_NEAR(back.x, step.x, 1e-2f);
        EXPECT_NEAR(back.y, step.y, 1e-2f);
    }
    EXPECT_FALSE(viewIsDefault());
    const float scale = currentView().scale;
    EXPECT_NEAR(scale, kZoomStep * kZoomStep * 4.0f / kZoomStep, 1e-4f);

    // A drag moves the map with the pointer, by whole window pixels.
    const MapPoint under = screenToMap(200.0f, 200.0f);
    panView(30, -20);
    const MapPoint moved = screenToMap(230.0f, 180.0f);
    EXPECT_NEAR(moved.x, under.x, 1e-3f);
    EXPECT_NEAR(moved.y, under.y, 1e-3f);

    resetView();
    EXPECT_TRUE(viewIsDefault());
    clearMap();
}

TEST(View, ZoomStaysWithinTheMapsBoundsAndRefusesNonsense)
{
    clearMap();
    generateGridMap(); // 40 x 40, 15 apart
    setViewWindow(800, 600);
    resetView();
    for (int i = 0; i < 200; ++i)
        zoomViewAt(400, 300, 1.0f / kZoomStep);
    const float least = currentView().scale;
    EXPECT_GT(least, 0.0f);
    EXPECT_LE(least, 1.0f);
    EXPECT_GE(least * 586.0f, 800.0f * kZoomOutMargin * 0.5f) << "zoomed out past the whole map";
    for (int i = 0; i < 400; ++i)
        zoomViewAt(400, 300, kZoomStep);
    const float most = currentView().scale;
    EXPECT_GE(most, 16.0f);
    EXPECT_LE(800.0f / most, 15.0f * 10.0f) << "cannot come down to a few vertices across";
    for (float bad : {0.0f, -2.0f, NAN, INFINITY}) {
        zoomViewAt(10, 10, bad);
        EXPECT_EQ(currentView().scale, most) << bad;
    }
    EXPECT_EQ(zoomText(2.44f), "zoom 244%");
    EXPECT_EQ(zoomText(0.0123f), "zoom 1.23%");
    resetView();
    clearMap();
}

// The zoomed picture: the box is the visible map, the document the window's
// pixels, and dots and lines keep their size in those pixels.
TEST(View, ZoomedSvgKeepsSizesInPixels)
{
    std::vector<Vertex> vertices{at(10.0f, 10.0f)};
    SvgScene svg;
    svg.vertices = &vertices;
    svg.left = 5.0;
    svg.top = 5.0;
    svg.width = 200.0;
    svg.height = 150.0;
    svg.pixelsPerUnit = 4.0;
    svg.panelsFromCorner = true;
    const std::string text = formatSvg(svg);
    EXPECT_NE(text.find("width=\"800\" height=\"600\" viewBox=\"5 5 200 150\""), std::string::npos) << text;
    EXPECT_NE(text.find("<circle r=\"0.375\" cx=\"10\" cy=\"10\"/>"), std::string::npos) << text;
    EXPECT_NE(text.find("stroke-width=\"0.25\""), std::string::npos) << text;
    EXPECT_NE(text.find("transform=\"translate(5 5) scale(0.25)\""), std::string::npos) << text;
}
