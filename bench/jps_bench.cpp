// `vialoom check` on a 512 x 512 street map's full scenario, with Jump Point
// Search beside A*: every problem through the check command's own
// checkProblem, Jump Point Search with its grid recognised once per run (as
// check does once per map, and counted in its time). Both must pass every
// problem before either is timed; each iteration runs both in turn, so the
// ratio compares them under the same load.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/check_command.h"
#include "mapio/movingai.h"
#include "route/astar.h"
#include "route/prepared.h"
#include "route/route_walk.h"

constexpr int kSide = 512;
constexpr int kProblems = 200;
constexpr int kStreet = 8; // the widest street

struct StreetCase {
    Scene map;
    GridInfo grid;
    std::vector<ScenarioProblem> problems; // the full scenario, optimal lengths by A*
};

// Blocks of 10 to 40 cells between streets 4 to 8 wide, as a city's streets
// come out on a 512 x 512 grid; one block in ten an open square, planted
// with a tree here and there.
static std::string streetText(int side, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::string> rows(side, std::string(side, '.'));
    std::vector<int> cuts[2];
    for (std::vector<int>& cut : cuts)
        for (int at = 0; at < side; at += kStreet + 10 + static_cast<int>(rng() % 31))
            cut.push_back(at);
    for (std::size_t r = 0; r + 1 < cuts[1].size(); ++r)
        for (std::size_t c = 0; c + 1 < cuts[0].size(); ++c) {
            const unsigned kind = rng() % 10;
            const int streetX = 4 + static_cast<int>(rng() % 5), streetY = 4 + static_cast<int>(rng() % 5);
            for (int y = cuts[1][r] + streetY; y < cuts[1][r + 1]; ++y)
                for (int x = cuts[0][c] + streetX; x < cuts[0][c + 1]; ++x)
                    if (kind != 0 || (rng() % 8 == 0))
                        rows[y][x] = '@';
        }
    std::string text = "type octile\nheight " + std::to_string(side) + "\nwidth " + std::to_string(side) + "\nmap\n";
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}

static const StreetCase& streetCase()
{
    static StreetCase made = [] {
        StreetCase street;
        std::string error;
        if (!parseMovingAi(streetText(kSide, 512), "streets.map", street.map, error, &street.grid)) {
            std::fprintf(stderr, "vialoom_bench: %s\n", error.c_str());
            std::exit(EXIT_FAILURE);
        }
        std::mt19937 rng(77);
        const int count = static_cast<int>(street.map.vertices.size());
        std::vector<int> cellOf(street.map.vertices.size());
        for (std::size_t cell = 0; cell < street.grid.cellVertex.size(); ++cell)
            if (street.grid.cellVertex[cell] >= 0)
                cellOf[street.grid.cellVertex[cell]] = static_cast<int>(cell);
        for (int i = 0; i < kProblems; ++i) {
            const int start = static_cast<int>(rng() % count), goal = static_cast<int>(rng() % count);
            std::map<int, int> cameFrom;
            if (!aStarSearch(cameFrom, street.map.vertices, start, goal))
                continue; // a scenario holds routes that exist
            ScenarioProblem problem;
            problem.line = i + 2;
            problem.mapName = "streets.map";
            problem.mapWidth = kSide;
            problem.mapHeight = kSide;
            problem.startX = cellOf[start] % kSide;
            problem.startY = cellOf[start] / kSide;
            problem.goalX = cellOf[goal] % kSide;
            problem.goalY = cellOf[goal] / kSide;
            problem.optimalLength =
                routeCost(street.map.vertices, tableRoute(cameFrom, start, goal, street.map.vertices.size())) /
                street.map.cellSize;
            street.problems.push_back(problem);
        }
        return street;
    }();
    return made;
}

static double secondsSince(std::chrono::steady_clock::time_point began)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// Runs the scenario as check does; the number of problems that failed.
static int checkAll(const StreetCase& street, SearchMode mode)
{
    PreparedGraph prepared; // what check keeps beside the map it loaded
    int failed = 0;
    for (const ScenarioProblem& problem : street.problems) {
        double length = 0.0;
        failed += !checkProblem(street.map, street.grid, problem, length, SearchChoice{mode}, &prepared).empty();
    }
    return failed;
}

static void BM_JumpPointsVsAStar_Streets(benchmark::State& state)
{
    const StreetCase& street = streetCase();
    if (checkAll(street, SearchMode::AStar) != 0 || checkAll(street, SearchMode::Jps) != 0) {
        state.SkipWithError("a problem failed its check");
        return;
    }
    double aStarSeconds = 0.0, jumpSeconds = 0.0;
    for (auto _ : state) {
        auto began = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(checkAll(street, SearchMode::AStar));
        aStarSeconds += secondsSince(began);
        began = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(checkAll(street, SearchMode::Jps));
        const double jump = secondsSince(began);
        jumpSeconds += jump;
        state.SetIterationTime(jump);
    }
    const auto began = std::chrono::steady_clock::now();
    PreparedGraph recognised;
    std::string why;
    searchUsable(street.map.vertices, SearchMode::Jps, &recognised, why);
    state.counters["recogniseMs"] = secondsSince(began) * 1e3;
    const double runs = static_cast<double>(state.iterations());
    state.counters["cells"] = static_cast<double>(street.map.vertices.size());
    state.counters["problems"] = static_cast<double>(street.problems.size());
    state.counters["aStarMs"] = aStarSeconds * 1e3 / runs;
    state.counters["speedUp"] = aStarSeconds / jumpSeconds;
#ifndef __OPTIMIZE__
    state.SetLabel("unoptimised build: numbers mean little");
#endif
}

BENCHMARK(BM_JumpPointsVsAStar_Streets)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
