// The cached frame against today's drawing, pixel for pixel, in a GLUT window of this process.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/route.h"
#include "ui/status.h"
#include "ui/view.h"
#include "window/frame.h"
#include "window/layers.h"
#include "window/scene_cache.h"
#include "window/window.h"
#include "window_harness.h"

namespace {

using Pixels = std::vector<unsigned char>;

// One window on one private server for the whole process: GLUT starts only once.
bool openWindow()
{
    static const bool opened = [] {
        static Session server;
        std::string display;
        if (!startServer(server, display))
            return false;
        setenv("DISPLAY", display.c_str(), 1);
        int argc = 1;
        char name[] = "frame_cache_test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_DOUBLE);
        glutInitWindowSize(800, 600);
        glutCreateWindow("frame cache");
        glutDisplayFunc([] {});
        glutReshapeFunc(onReshape);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        return true;  // resizeWindow waits for the window to come up
    }();
    return opened;
}

bool resizeWindow(int width, int height)
{
    glutReshapeWindow(width, height);
    // The size may show before the reshape callback has run: wait for the viewport too.
    for (int i = 0; i < 500; ++i) {
        glutMainLoopEvent();
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        if (glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height &&
            viewport[2] == width && viewport[3] == height)
            return true;
    }
    return false;
}

Pixels drawAndRead(void (*draw)())
{
    glutSwapBuffers();  // as between the program's frames: the back buffer is left undefined
    draw();
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    Pixels pixels(static_cast<std::size_t>(width * height * 4));
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The frame drawn twice from the cache (once filling it, once from it) equals the direct frame.
::testing::AssertionResult cachedMatchesDirect()
{
    const Pixels direct = drawAndRead(drawFrameDirect);
    for (int pass = 0; pass < 2; ++pass) {
        const Pixels cached = drawAndRead(drawFrameCached);
        std::size_t differing = 0, first = 0;
        for (std::size_t i = 0; i < direct.size(); ++i)
            if (direct[i] != cached[i] && differing++ == 0)
                first = i;
        if (differing != 0)
            return ::testing::AssertionFailure()
                   << "pass " << pass << ": " << differing << " bytes differ, first at byte " << first
                   << " (rows from the bottom): " << int(direct[first]) << " drawn, " << int(cached[first])
                   << " put back";
    }
    return ::testing::AssertionSuccess();
}

void linkedLine(const std::vector<std::pair<int, int>>& points)
{
    for (const auto& p : points)
        addVertex(p.first, p.second);
    const int last = static_cast<int>(scene.vertices.size()) - 1;
    for (int i = last - static_cast<int>(points.size()) + 1; i < last; ++i)
        toggleLink(i, i + 1);
}

// Selections under links, links across the window's edges and off it, dots clipped at the edges.
void handGraph()
{
    clearMap();
    linkedLine({{100, 100}, {300, 100}, {300, 300}, {-50, 650}});
    linkedLine({{0, 0}, {799, 599}, {900, -40}});
    linkedLine({{200, 90}, {200, 110}});
    addVertex(200, 100);  // under two crossing links
    scene.markedVertex = 8, scene.startVertex = 3, scene.goalVertex = 5;
    toggleLink(3, 4);
    updateRoute();
}

void gridWithRoute()
{
    randomSeed(20240601u);
    generateGridMap();
    scene.startVertex = 0, scene.goalVertex = 1599, scene.markedVertex = 41;
    updateRoute();
}

// Vertices 0.6 px apart at fractional positions, every neighbour linked, as a huge map drawn small.
void denseLattice()
{
    const int side = 150;
    Scene dense;
    for (int i = 0; i < side * side; ++i) {
        Vertex vertex;
        vertex.x = 3.3f + 0.6f * static_cast<float>(i % side);
        vertex.y = 7.7f + 0.6f * static_cast<float>(i / side);
        dense.vertices.push_back(vertex);
    }
    replaceScene(std::move(dense));
    for (int i = 0; i < side * side; ++i) {
        const bool right = i % side + 1 < side, down = i + side < side * side;
        for (int step : {right ? 1 : 0, down ? side : 0, right && down ? side + 1 : 0})
            toggleLink(i, i + step);  // a step of 0 changes nothing
    }
    scene.startVertex = 0, scene.goalVertex = side * side - 1, scene.markedVertex = side * 75 + 75;
    updateRoute();
}

}  // namespace

TEST(FrameCache, PutsBackExactlyWhatIsDrawnAtEverySize)
{
    ASSERT_TRUE(openWindow());
    // The small graph lies far from every edge: only a small part of the window holds anything.
    const std::vector<std::pair<const char*, void (*)()>> scenes{
        {"empty", clearMap}, {"hand graph", handGraph}, {"lattice", gridWithRoute},
        {"small graph", [] { clearMap(), linkedLine({{300, 200}, {340, 260}, {301, 261}}), scene.startVertex = 2; }},
        {"dense lattice", denseLattice}};
    const std::vector<std::pair<int, int>> sizes{{800, 600}, {517, 333}, {1000, 700}, {3, 2}};
    for (const auto& size : sizes) {
        ASSERT_TRUE(resizeWindow(size.first, size.second));
        for (const auto& scene : scenes) {
            scene.second();
            EXPECT_TRUE(cachedMatchesDirect()) << scene.first << " at " << size.first << "x" << size.second;
        }
    }
}

// Each edit is applied after the cache was filled; the next frame must show it, and only
// edits of the graph itself or the viewport may cost a new capture.
TEST(FrameCache, FollowsEveryChangeAndCapturesOnlyForTheGraphOrTheSize)
{
    ASSERT_TRUE(openWindow());
    ASSERT_TRUE(resizeWindow(800, 600));
    handGraph();
    ASSERT_TRUE(cachedMatchesDirect());
    struct Edit { const char* what; std::function<void()> apply; bool recaptures; };
    const std::vector<Edit> edits{
        {"unlink", [] { toggleLink(0, 1); }, true},
        {"add vertex", [] { addVertex(400, 400); }, true},
        {"move the start", [] { scene.startVertex = 0; }, false},
        {"drop the mark", [] { scene.markedVertex = -1; }, false},
        {"drop every selection", [] { scene.startVertex = scene.goalVertex = -1; clearPredecessors(scene.cameFrom); }, false},
        {"smaller viewport", [] { onReshape(400, 300); }, true},
        {"full viewport", [] { onReshape(800, 600); }, true},
        {"resize", [] { ASSERT_TRUE(resizeWindow(640, 480)); }, true},
        {"generate lattice", gridWithRoute, true},
        {"clear", clearMap, true},
    };
    for (const Edit& edit : edits) {
        const std::uint64_t before = sceneCaptureCount();
        edit.apply();
        EXPECT_TRUE(cachedMatchesDirect()) << edit.what;
        EXPECT_EQ(sceneCaptureCount() - before, edit.recaptures ? 1u : 0u) << edit.what;
    }
}

// Outside the default view only what is near the window is drawn from: the
// picture must be the one every vertex gives, pixel for pixel, and the cache
// must follow the view.
TEST(FrameCache, DrawingOnlyNearTheWindowChangesNoPixel)
{
    ASSERT_TRUE(openWindow());
    ASSERT_TRUE(resizeWindow(800, 600));
    const std::vector<std::pair<const char*, void (*)()>> scenes{
        {"hand graph", handGraph}, {"lattice", gridWithRoute},
        {"long links", [] { clearMap(), linkedLine({{-3000, 300}, {3000, 310}, {400, -5000}, {410, 5000}}); }}};
    struct Move { float zoom; int dx, dy; };
    const Move moves[] = {{1.0f, 37, -23}, {1.0f, -250, 140}, {2.5f, 0, 0}, {6.0f, -900, 700}, {0.7f, 3, 3}};
    for (const auto& made : scenes) {
        made.second();
        for (const Move& move : moves) {
            resetView();
            zoomViewAt(300, 200, move.zoom);
            panView(move.dx, move.dy);
            setCulling(false);
            const Pixels every = drawAndRead(drawFrameDirect);
            setCulling(true);
            EXPECT_TRUE(drawAndRead(drawFrameDirect) == every) << made.first << " zoom " << move.zoom << " moved " << move.dx;
            EXPECT_TRUE(cachedMatchesDirect()) << made.first << " zoom " << move.zoom << " moved " << move.dx;
        }
    }
    resetView();
    showStatus("");
}
