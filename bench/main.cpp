// Search and generator benchmarks always run; the frame benchmark joins them
// when a display is reachable (e.g. under xvfb-run).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/frame_bench.h"

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (openFrameWindow(&argc, argv))
        registerFrameBenchmarks();
    else
        std::fprintf(stderr, "vialoom_bench: no display reachable, frame benchmark skipped\n");
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
