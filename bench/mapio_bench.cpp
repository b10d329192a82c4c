// Reading Moving AI grid maps of benchmark size, and `vialoom check` on a
// generated map and scenario against the heap yardstick solving the same
// problems, on maps made by bench/grid_text.h.
//
// The 512 x 512 check with 300 problems is registered only when
// VIALOOM_BENCH_LARGE_CHECK is set: with a quadratic search it takes minutes
// (83 s of CPU against 1.4 s for the heap yardstick on the 2-core machine).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/check_command.h"
#include "bench/grid_text.h"
#include "bench/heap_astar.h"
#include "mapio/movingai.h"

constexpr int kRepetitions = 9;

struct CheckCase {
    std::string scenarioPath;
    std::string mapPath;
    Scene map;
    std::vector<int> starts;
    std::vector<int> goals;
};

static std::uint32_t nextRandom(std::uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

static void writeText(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "vialoom_bench: cannot write %s\n", path.c_str());
        std::exit(EXIT_FAILURE);
    }
}

// Random reachable pairs, their lengths recorded from the heap yardstick.
static std::string scenarioText(CheckCase& check, const GridInfo& grid, int problems)
{
    std::vector<int> vertexCell(check.map.vertices.size());
    for (std::size_t cell = 0; cell < grid.cellVertex.size(); ++cell)
        if (grid.cellVertex[cell] >= 0)
            vertexCell[grid.cellVertex[cell]] = static_cast<int>(cell);
    std::uint32_t state = 88172645u;
    std::string text = "version 1\n";
    const std::uint32_t count = static_cast<std::uint32_t>(check.map.vertices.size());
    while (static_cast<int>(check.starts.size()) < problems) {
        const int start = static_cast<int>(nextRandom(state) % count);
        const int goal = static_cast<int>(nextRandom(state) % count);
        std::map<int, int> cameFrom;
        const HeapResult result = heapAStar(cameFrom, check.map.vertices, start, goal);
        if (!result.found)
            continue;
        check.starts.push_back(start);
        check.goals.push_back(goal);
        char line[200];
        std::snprintf(line, sizeof line, "0\tgenerated.map\t%d\t%d\t%d\t%d\t%d\t%d\t%.8f\n", grid.width,
                      grid.height, vertexCell[start] % grid.width, vertexCell[start] / grid.width,
                      vertexCell[goal] % grid.width, vertexCell[goal] / grid.width, result.cost / grid.cellSize);
        text += line;
    }
    return text;
}

static CheckCase makeCheckCase(int side, int problems)
{
    CheckCase check;
    char folder[] = "/tmp/vialoom-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        std::fprintf(stderr, "vialoom_bench: cannot make a temporary folder\n");
        std::exit(EXIT_FAILURE);
    }
    check.mapPath = std::string(folder) + "/generated.map";
    check.scenarioPath = std::string(folder) + "/generated.scen";
    writeText(check.mapPath, gridText(side, side));
    GridInfo grid;
    std::string error;
    if (!readMovingAiFile(check.mapPath, check.map, error, &grid)) {
        std::fprintf(stderr, "vialoom_bench: %s\n", error.c_str());
        std::exit(EXIT_FAILURE);
    }
    writeText(check.scenarioPath, scenarioText(check, grid, problems));
    return check;
}

static void removeCheckCase(const CheckCase& check)
{
    std::remove(check.mapPath.c_str());
    std::remove(check.scenarioPath.c_str());
    rmdir(check.scenarioPath.substr(0, check.scenarioPath.rfind('/')).c_str());
}

static void BM_ParseMovingAi(benchmark::State& state)
{
    const std::string text = gridText(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Scene map;
        std::string error;
        if (!parseMovingAi(text, "generated.map", map, error, nullptr))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(map.vertices.data());
    }
}

// The whole command: reading both files, every search and the comparison.
// It must pass every problem, or the yardstick solved something else.
static void BM_CheckScenario(benchmark::State& state)
{
    const CheckCase check = makeCheckCase(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state)
        if (runCheckCommand({check.scenarioPath}, sink, stderr) != 0)
            state.SkipWithError("vialoom check failed a problem the yardstick solved");
    std::fclose(sink);
    removeCheckCase(check);
}

static void BM_HeapCheckYardstick(benchmark::State& state)
{
    const CheckCase check = makeCheckCase(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::map<int, int> cameFrom;
    for (auto _ : state)
        for (std::size_t i = 0; i < check.starts.size(); ++i) {
            cameFrom.clear();
            benchmark::DoNotOptimize(heapAStar(cameFrom, check.map.vertices, check.starts[i], check.goals[i]));
        }
    removeCheckCase(check);
}

static bool registerLargeCheck()
{
    if (!std::getenv("VIALOOM_BENCH_LARGE_CHECK"))
        return false;
    benchmark::RegisterBenchmark("BM_CheckScenario", BM_CheckScenario)->Args({512, 300})->Unit(benchmark::kSecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("BM_HeapCheckYardstick", BM_HeapCheckYardstick)->Args({512, 300})
        ->Unit(benchmark::kSecond);
    return true;
}

BENCHMARK(BM_ParseMovingAi)->Arg(512)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CheckScenario)->Args({64, 50})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HeapCheckYardstick)->Args({64, 50})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
static const bool largeCheckRegistered = registerLargeCheck();
