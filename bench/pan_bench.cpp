// Zoom and pan: frames of the 1000 x 1000 lattice with its route while the
// view moves (the view changes every frame, so nothing is cached), at several
// scales, against today's full redraw in the same run; and the nearest-vertex
// pick at a million vertices through the grid against a scan of every vertex.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <benchmark/benchmark.h>

#include <cfloat>
#include <chrono>

#include "bench/big_lattice.h"
#include "graph/scene.h"
#include "graph/vertex_grid.h"
#include "ui/detail_picture.h"
#include "ui/view.h"
#include "window/frame.h"

using Clock = std::chrono::steady_clock;

// The scales, in hundredths: the whole lattice small, about as it opens, and
// closer in to a few vertices across.
constexpr int kScales[] = {50, 100, 400, 1600, 6400, 25600};

static void showFrame(void (*draw)())
{
    draw();
    glutSwapBuffers();
    glFinish();
}

static void zoomTo(float scale)
{
    resetView();
    zoomViewAt(400, 300, scale);
}

static void BM_PanFrame_BigLattice(benchmark::State& state)
{
    if (glXGetCurrentContext() == nullptr) {
        state.SkipWithError("no window: run under xvfb-run");
        return;
    }
    loadBigLattice();
    zoomTo(static_cast<float>(state.range(0)) / 100.0f);
    panView(1, 1); // out of the default view, even at scale 1
    showFrame(drawFrameCached); // builds the grid and the levels once
    int step = 0;
    for (auto _ : state) {
        panView(step % 2 == 0 ? 3 : -2, 1 - step % 3); // a new view every frame
        ++step;
        showFrame(drawFrameCached);
    }
    state.counters["scale"] = currentView().scale;
    // Today's drawing of the same map: every point and link, every frame.
    resetView();
    const Clock::time_point start = Clock::now();
    showFrame(drawFrameDirect);
    const double direct = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["fullRedrawMs"] = direct * 1e3;
}

// The yardstick: what nearestVertex did before the grid, every vertex looked at.
static int scanNearest(float x, float y)
{
    float best = FLT_MAX;
    int found = -1;
    for (int i = 0; i < static_cast<int>(scene.vertices.size()); ++i) {
        const float dx = scene.vertices[static_cast<std::size_t>(i)].x - x;
        const float dy = scene.vertices[static_cast<std::size_t>(i)].y - y;
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

// Picks all over the lattice and a little beyond it; 0: the grid, 1: the scan.
static void BM_Pick_Million(benchmark::State& state)
{
    loadBigLattice();
    sceneGrid();
    const bool scan = state.range(0) == 1;
    float x = -7.0f, y = 3.0f;
    for (auto _ : state) {
        x = x > 640.0f ? -7.0f : x + 13.37f;
        y = y > 620.0f ? -5.0f : y + 7.91f;
        benchmark::DoNotOptimize(scan ? scanNearest(x, y) : nearestVertexAt(x, y));
    }
}

// What a graph change costs the view the first time it is drawn again.
static void BM_Grid_Build_Million(benchmark::State& state)
{
    loadBigLattice();
    VertexGrid grid;
    for (auto _ : state)
        buildVertexGrid(grid, scene.vertices);
}

static void BM_DetailLevels_Build_Million(benchmark::State& state)
{
    loadBigLattice();
    std::vector<DetailLevel> levels;
    for (auto _ : state)
        buildDetailLevels(levels, scene.vertices, sceneGrid().cellSize / 4.0);
    state.counters["levels"] = static_cast<double>(levels.size());
}

BENCHMARK(BM_PanFrame_BigLattice)->ArgsProduct({{std::begin(kScales), std::end(kScales)}})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Pick_Million)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Grid_Build_Million)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailLevels_Build_Million)->Unit(benchmark::kMillisecond);
