#include "bench/frame_bench.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <GL/glx.h>
#include <poll.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/big_lattice.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/route.h"
#include "window/callbacks.h"
#include "window/frame.h"
#include "window/window.h"

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
constexpr unsigned kFrameSeed = 20240601u;
constexpr int kRepetitions = 9;
constexpr int kSlowRepetitions = 5; // for the half-second direct frame of the big lattice
constexpr double kIdleSeconds = 10.0;
constexpr int kWakeMilliseconds = 250; // glutMainLoop itself sleeps until the next event or timer

using Clock = std::chrono::steady_clock;

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

void setUpGridRoute()
{
    randomSeed(kFrameSeed);
    generateGridMap();
    scene.startVertex = 0;
    for (int goal = static_cast<int>(scene.vertices.size()) - 1; goal > 0; --goal) {
        scene.goalVertex = goal;
        updateRoute();
        if (!noPredecessors(scene.cameFrom))
            return;
    }
    std::fprintf(stderr, "vialoom_bench: no route from vertex 0 in the generated lattice\n");
    std::exit(EXIT_FAILURE);
}

// One whole frame as the window shows it: drawn, swapped and finished.
static void showFrame(void (*draw)())
{
    draw();
    glutSwapBuffers();
    glFinish();
}

static double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Times frames of the scene setUp makes. A cached run also times direct frames
// right after, for its ratio to today's drawing in the same run.
static void runFrames(benchmark::State& state, void (*setUp)(), void (*draw)(), int directFrames)
{
    setUp();
    showFrame(draw); // the first frame sets up buffers and fills the cache
    const Clock::time_point start = Clock::now();
    for (auto _ : state)
        showFrame(draw);
    const double seconds = secondsSince(start) / static_cast<double>(state.iterations());
    if (directFrames > 0) {
        const Clock::time_point directStart = Clock::now();
        for (int i = 0; i < directFrames; ++i)
            showFrame(drawFrameDirect);
        const double direct = secondsSince(directStart) / directFrames;
        state.counters["directMs"] = direct * 1e3;
        state.counters["cachedPerDirect"] = seconds / direct;
    }
    state.counters["routeVertices"] = static_cast<double>(currentRoute().size());
    state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}

static double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage); // every thread, the driver's rasterisers included
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

static int framesDrawn = 0;

static void countedDisplay()
{
    ++framesDrawn;
    onDisplay();
}

// The program's own event loop, idle, for kIdleSeconds: GLUT's event pass,
// then asleep until the X connection has something or a wake-up is due, as
// glutMainLoop sleeps between events (its timers are checked every wake-up).
static void runIdle(benchmark::State& state, void (*setUp)())
{
    setUp();
    glutDisplayFunc(countedDisplay);
    showFrame(onDisplay);
    Display* display = glXGetCurrentDisplay();
    for (auto _ : state) {
        const double cpuStart = processCpuSeconds();
        const Clock::time_point start = Clock::now();
        framesDrawn = 0;
        while (secondsSince(start) < kIdleSeconds) {
            glutMainLoopEvent();
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, kWakeMilliseconds);
        }
        const double wall = secondsSince(start);
        state.counters["cpuPercent"] = 100.0 * (processCpuSeconds() - cpuStart) / wall;
        state.counters["framesPerSecond"] = static_cast<double>(framesDrawn) / wall;
    }
    glutDisplayFunc(onDisplay);
}

static void BM_Frame_Empty(benchmark::State& state)
{
    runFrames(state, clearMap, drawFrameCached, 0);
}

static void BM_Frame_GridRoute_Direct(benchmark::State& state)
{
    runFrames(state, setUpGridRoute, drawFrameDirect, 0);
}

static void BM_Frame_GridRoute_Cached(benchmark::State& state)
{
    runFrames(state, setUpGridRoute, drawFrameCached, 20);
}

static void BM_Frame_BigLattice_Direct(benchmark::State& state)
{
    runFrames(state, loadBigLattice, drawFrameDirect, 0);
}

static void BM_Frame_BigLattice_Cached(benchmark::State& state)
{
    runFrames(state, loadBigLattice, drawFrameCached, 1);
}

static void BM_Idle_Empty(benchmark::State& state)
{
    runIdle(state, clearMap);
}

static void BM_Idle_BigLattice(benchmark::State& state)
{
    runIdle(state, loadBigLattice);
}

static void registerFrame(const char* name, void (*run)(benchmark::State&), int repetitions)
{
    benchmark::RegisterBenchmark(name, run)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime() // the renderer and the X server work outside this thread
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true);
}

static void registerIdle(const char* name, void (*run)(benchmark::State&))
{
    benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
}

void registerFrameBenchmarks()
{
    registerFrame("BM_Frame_Empty", BM_Frame_Empty, kRepetitions);
    registerFrame("BM_Frame_GridRoute_Direct", BM_Frame_GridRoute_Direct, kRepetitions);
    registerFrame("BM_Frame_GridRoute_Cached", BM_Frame_GridRoute_Cached, kRepetitions);
    registerFrame("BM_Frame_BigLattice_Direct", BM_Frame_BigLattice_Direct, kSlowRepetitions);
    registerFrame("BM_Frame_BigLattice_Cached", BM_Frame_BigLattice_Cached, kRepetitions);
    registerIdle("BM_Idle_Empty", BM_Idle_Empty);
    registerIdle("BM_Idle_BigLattice", BM_Idle_BigLattice);
}
