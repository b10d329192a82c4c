// The terrain brush on the million-vertex lattice: one motion of a stroke
// (60 window pixels, about 4,000 vertices painted) against BM_Grid_Build_Million
// in the same run, which is what every motion would cost if painting moved
// the layout the vertex grid is built from.
#include <benchmark/benchmark.h>

#include "bench/big_lattice.h"
#include "graph/history.h"
#include "ui/brush.h"
#include "ui/view.h"

// Motions to and fro across the window, a row 25 pixels below the last,
// each over fresh ground.
constexpr int kStep = 60;
constexpr int kAcross = 600 / kStep;
constexpr int kRows = 600 / 25;
constexpr int kMotions = kAcross * kRows;

static void BM_BrushMotion_BigLattice(benchmark::State& state)
{
    loadBigLattice();
    clearHistory();
    resetView();
    resetBrush();
    cycleBrush(); // sand x2
    beginStroke(0, 0);
    int motion = 0;
    for (auto _ : state) {
        const int row = motion / kAcross, along = (motion % kAcross + 1) * kStep;
        const int x = row % 2 == 0 ? along : 600 - along, y = row * 25;
        benchmark::DoNotOptimize(continueStroke(x, y));
        ++motion;
    }
    // The stroke is taken back, so closing it finds nothing to search again.
    abandonEdit();
    resetBrush();
}

BENCHMARK(BM_BrushMotion_BigLattice)->Iterations(kMotions - 1)->Unit(benchmark::kMicrosecond);
