// Frames with the search view on, against the same frame with it off in the
// same run: the 40 x 40 lattice with a corner-to-corner route (finished
// search, and a replay that shows a new step every frame), and a million
// vertices every one of which the search expanded. Skipped without a window.
#include <GL/glx.h>
#include <benchmark/benchmark.h>

#include "bench/frame_bench.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/route.h"
#include "route/search.h"
#include "ui/search_view.h"
#include "window/callbacks.h"

constexpr int kMillionSide = 1000;

enum ViewCase { kViewOff, kViewOn, kViewReplay };

// A million unlinked vertices filling the window and a trace that expanded
// them all: the most the layer can ever draw.
static void setUpMillion()
{
    Scene million;
    for (int i = 0; i < kMillionSide * kMillionSide; ++i) {
        Vertex vertex;
        vertex.x = static_cast<float>(i % kMillionSide) * 0.8f;
        vertex.y = static_cast<float>(i / kMillionSide) * 0.6f;
        million.vertices.push_back(vertex);
    }
    replaceScene(std::move(million));
    scene.startVertex = 0;
    scene.goalVertex = kMillionSide * kMillionSide - 1;
    SearchTrace trace;
    trace.mode = searchMode;
    trace.start = scene.startVertex;
    trace.goal = scene.goalVertex;
    const std::size_t count = scene.vertices.size();
    trace.reachedAt.assign(count, 0);
    trace.expandedAt.assign(count, -1);
    trace.parent.assign(count, -1);
    trace.g.assign(count, 0.0f);
    trace.h.assign(count, 0.0f);
    for (int i = 0; i < scene.goalVertex; ++i) {
        trace.expandedAt[static_cast<std::size_t>(i)] = i;
        trace.expanded.push_back(i);
    }
    trace.seconds = 1.0;
    trace.generation = lastSearch.generation + 1; // a search of its own for every cache
    lastSearch = std::move(trace);
}

static void runFrames(benchmark::State& state, void (*setUp)(), ViewCase view)
{
    if (glXGetCurrentContext() == nullptr) {
        state.SkipWithError("no window: run under xvfb-run");
        return;
    }
    setUp();
    if (view != kViewOff)
        toggleSearchView();
    if (view == kViewReplay)
        toggleReplay();
    onDisplay(); // the first frame builds the layer's arrays and runs the Dijkstra check
    glFinish();
    for (auto _ : state) {
        onDisplay();
        glFinish();
    }
    if (view != kViewOff)
        toggleSearchView();
    clearMap();
}

static void BM_ViewFrame_Lattice(benchmark::State& state)
{
    runFrames(state, setUpGridRoute, static_cast<ViewCase>(state.range(0)));
}

static void BM_ViewFrame_Million(benchmark::State& state)
{
    runFrames(state, setUpMillion, static_cast<ViewCase>(state.range(0)));
}

// 0: view off (the yardstick), 1: view on, 2: replay playing.
BENCHMARK(BM_ViewFrame_Lattice)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ViewFrame_Million)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(3)->ReportAggregatesOnly(true);
