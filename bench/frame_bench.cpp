#include "bench/frame_bench.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "app/random.h"
#include "app/window.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/route.h"
#include "ui/callbacks.h"

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
constexpr unsigned kFrameSeed = 20240601u;

// freeglut ends the process when it cannot open the display, so ask Xlib first.
static bool displayReachable()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XCloseDisplay(display);
    return true;
}

bool openFrameWindow(int* argc, char** argv)
{
    if (!displayReachable())
        return false;
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowSize(kWindowWidth, kWindowHeight);
    glutCreateWindow("vialoom_bench");
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    onReshape(kWindowWidth, kWindowHeight);
    // Let the window get mapped before anything is timed.
    for (int i = 0; i < 10; ++i)
        glutMainLoopEvent();
    return true;
}

// A generated lattice and the longest route from corner 0 that exists in it.
static void setUpRouteScene()
{
    randomSeed(kFrameSeed);
    generateGridMap();
    startVertex = 0;
    for (int goal = static_cast<int>(vertices.size()) - 1; goal > 0; --goal) {
        goalVertex = goal;
        updateRoute();
        if (!cameFrom.empty())
            return;
    }
    std::fprintf(stderr, "vialoom_bench: no route from vertex 0 in the generated lattice\n");
    std::exit(EXIT_FAILURE);
}

static void BM_Frame_GridRoute(benchmark::State& state)
{
    setUpRouteScene();
    onDisplay(); // the first frame pays for setting up buffers
    glFinish();
    for (auto _ : state) {
        onDisplay();
        glFinish();
    }
    state.counters["routeVertices"] = static_cast<double>(currentRoute().size());
    state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    clearMap();
}

// Clearing and swapping alone: what every frame costs before anything is drawn.
static void BM_Frame_Empty(benchmark::State& state)
{
    clearMap();
    onDisplay();
    glFinish();
    for (auto _ : state) {
        onDisplay();
        glFinish();
    }
}

static void registerFrame(const char* name, void (*run)(benchmark::State&))
{
    benchmark::RegisterBenchmark(name, run)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime() // the renderer and the X server work outside this thread
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
}

void registerFrameBenchmarks()
{
    registerFrame("BM_Frame_Empty", BM_Frame_Empty);
    registerFrame("BM_Frame_GridRoute", BM_Frame_GridRoute);
}
