// Loading and saving .vmap files: the 40 x 40 lattice and a million-vertex
// lattice. Yardsticks measured alongside: reading the same bytes into memory
// and saving them atomically, so the ratios show what the format itself costs.
// The peak memory of a fresh load is measured in a child process that does
// nothing else, beside the size of the scene's vertices.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/lattice.h"
#include "files/atomic_file.h"
#include "bench/process_memory.h"
#include "files/file_text.h"
#include "files/progress.h"
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

// The resident memory a read of path adds at its peak, in MiB, measured in
// a child process whose high-water mark is first set back to what it holds
// (the pages it shares with this process stay resident and are not counted).
// loaded tells whether the file was read.
static double readPeakMb(const std::string& path, bool& loaded)
{
    int ends[2];
    if (pipe(ends) != 0)
        return -1.0;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        progressRedirect(std::fopen("/dev/null", "w"), false);
        std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
        if (clear != nullptr) {
            std::fputs("5", clear);
            std::fclose(clear);
        }
        const double before = statusMegabytes("VmRSS");
        Scene map;
        std::string error;
        const double answer[2] = {readVmapFile(path, map, error) ? 1.0 : 0.0, statusMegabytes("VmHWM") - before};
        const ssize_t wrote = write(ends[1], answer, sizeof answer);
        _exit(wrote == sizeof answer ? 0 : 1);
    }
    close(ends[1]);
    double answer[2] = {0.0, -1.0};
    const bool heard = read(ends[0], answer, sizeof answer) == sizeof answer;
    close(ends[0]);
    waitpid(child, nullptr, 0);
    loaded = heard && answer[0] == 1.0;
    return heard ? answer[1] : -1.0;
}

// Peak memory of loading the million-vertex file afresh, against the scene's
// own size: its vertices.
static void BM_LoadVmapPeakMemory(benchmark::State& state)
{
    std::string error;
    requireDone(writeVmapFile(benchPath(true), benchMap(true), error), error);
    const double sceneMb = benchMap(true).vertices.size() * sizeof(Vertex) / 1048576.0;
    double peakMb = 0.0;
    bool loaded = false;
    for (auto _ : state)
        peakMb = readPeakMb(benchPath(true), loaded);
    if (!loaded)
        state.SkipWithError("the million-vertex file was not read");
    state.counters["peak_mb"] = peakMb;
    state.counters["scene_mb"] = sceneMb;
    state.counters["over_scene_mb"] = peakMb - sceneMb;
}

// A 1,000 MiB sparse file of zeros is refused at its first line: the time and
// peak memory that takes.
static void BM_RefuseSparseVmap(benchmark::State& state)
{
    const std::string path = "/tmp/vialoom-bench-zeros.vmap";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || ftruncate(fd, 1000l << 20) != 0)
        state.SkipWithError("cannot make the sparse file");
    close(fd);
    double peakMb = 0.0;
    bool loaded = true;
    for (auto _ : state)
        peakMb = readPeakMb(path, loaded);
    std::remove(path.c_str());
    if (loaded)
        state.SkipWithError("the sparse file was read");
    state.counters["peak_mb"] = peakMb;
}

BENCHMARK(BM_LoadVmapPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_RefuseSparseVmap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
