// Loading and saving .vmap files: the 40 x 40 lattice and a million-vertex
// lattice. Yardsticks measured alongside: reading the same bytes into memory
// and saving them atomically, so the ratios show what the format itself costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/lattice.h"
#include "files/atomic_file.h"
#include "files/file_text.h"
#include "mapio/vmap.h"

constexpr int kMillionSide = 1000;
constexpr int kRepetitions = 5;

// Fractional positions, so the numbers take their full width in the text.
static Scene buildMillion()
{
    Scene map;
    map.vertices.resize(static_cast<std::size_t>(kMillionSide) * kMillionSide);
    for (int row = 0; row < kMillionSide; ++row)
        for (int column = 0; column < kMillionSide; ++column) {
            Vertex& vertex = map.vertices[static_cast<std::size_t>(row) * kMillionSide + column];
            vertex.x = static_cast<float>(column) / 7.0f;
            vertex.y = static_cast<float>(row) / 3.0f;
        }
    for (int row = 0; row < kMillionSide; ++row)
        for (int column = 0; column < kMillionSide; ++column)
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    const int r = row + dr;
                    const int c = column + dc;
                    if ((dr == 0 && dc == 0) || r < 0 || c < 0 || r >= kMillionSide || c >= kMillionSide)
                        continue;
                    Vertex& from = map.vertices[static_cast<std::size_t>(row) * kMillionSide + column];
                    const int to = r * kMillionSide + c;
                    from.links[from.linkCount++] = Link{to, vertexDistance(from, map.vertices[to])};
                }
    map.startVertex = 0;
    map.goalVertex = kMillionSide * kMillionSide - 1;
    return map;
}

static const Scene& benchMap(bool million)
{
    static Scene lattice;
    static Scene large;
    if (million && large.vertices.empty())
        large = buildMillion();
    if (!million && lattice.vertices.empty())
        lattice.vertices = fullLattice();
    return million ? large : lattice;
}

static std::string benchPath(bool million)
{
    return std::string("/tmp/vialoom-bench-") + (million ? "million" : "lattice") + ".vmap";
}

static void requireDone(bool done, const std::string& error)
{
    if (done)
        return;
    std::fprintf(stderr, "vmap bench: %s\n", error.c_str());
    std::exit(1);
}

static void BM_SaveVmap(benchmark::State& state)
{
    const bool million = state.range(0) != 0;
    const Scene& map = benchMap(million);
    std::string error;
    for (auto _ : state)
        requireDone(writeVmapFile(benchPath(million), map, error), error);
    state.counters["bytes"] = static_cast<double>(formatVmap(map).size());
}

static void BM_LoadVmap(benchmark::State& state)
{
    const bool million = state.range(0) != 0;
    std::string error;
    requireDone(writeVmapFile(benchPath(million), benchMap(million), error), error);
    for (auto _ : state) {
        Scene map;
        requireDone(readVmapFile(benchPath(million), map, error), error);
        benchmark::DoNotOptimize(map.vertices.data());
    }
}

// Yardstick: the same bytes saved atomically, without formatting them.
static void BM_SaveBytesYardstick(benchmark::State& state)
{
    const bool million = state.range(0) != 0;
    const std::string text = formatVmap(benchMap(million));
    std::string error;
    for (auto _ : state)
        requireDone(writeFileAtomically(benchPath(million) + ".bytes", text, error), error);
    std::remove((benchPath(million) + ".bytes").c_str());
}

// Yardstick: the same bytes read into memory, without parsing them.
static void BM_LoadBytesYardstick(benchmark::State& state)
{
    const bool million = state.range(0) != 0;
    std::string error;
    requireDone(writeVmapFile(benchPath(million), benchMap(million), error), error);
    for (auto _ : state) {
        std::string text;
        requireDone(readWholeFile(benchPath(million), kMaxVmapFileBytes, text, error), error);
        benchmark::DoNotOptimize(text.data());
    }
}

// 0: the 1601-vertex lattice, 1: the million-vertex one.
#define VMAP_BENCH(name)                                                                                   \
    BENCHMARK(name)->Arg(0)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true); \
    BENCHMARK(name)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kRepetitions)->ReportAggregatesOnly(true)

VMAP_BENCH(BM_SaveVmap);
VMAP_BENCH(BM_SaveBytesYardstick);
VMAP_BENCH(BM_LoadVmap);
VMAP_BENCH(BM_LoadBytesYardstick);
