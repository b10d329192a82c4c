// Jump Point Search beside the program's A* on a 512 x 512 street map: the
// same problems, as `vialoom check` runs them (A* with its route walked and
// priced; Jump Point Search after recognising the grid, once per map). Both
// must agree on every length before either is timed; each iteration runs
// both in turn, so the ratio compares them under the same load.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "mapio/movingai.h"
#include "route/astar.h"
#include "route/grid_shape.h"
#include "route/jump_points.h"
#include "route/route_walk.h"

constexpr int kSide = 512;
constexpr int kProblems = 200;
constexpr int kStreet = 8; // the widest street

struct StreetCase {
    Scene map;
    std::vector<int> starts, goals;
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
        if (!parseMovingAi(streetText(kSide, 512), "streets.map", street.map, error, nullptr)) {
            std::fprintf(stderr, "vialoom_bench: %s\n", error.c_str());
            std::exit(EXIT_FAILURE);
        }
        std::mt19937 rng(77);
        const int count = static_cast<int>(street.map.vertices.size());
        for (int i = 0; i < kProblems; ++i) {
            street.starts.push_back(static_cast<int>(rng() % count));
            street.goals.push_back(static_cast<int>(rng() % count));
        }
        return street;
    }();
    return made;
}

static double secondsSince(std::chrono::steady_clock::time_point began)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// Lengths of every problem by A* as `check` finds them: -1 where none.
static std::vector<double> aStarLengths(const StreetCase& street)
{
    std::vector<double> lengths;
    for (std::size_t i = 0; i < street.starts.size(); ++i) {
        std::map<int, int> cameFrom;
        const int start = street.starts[i], goal = street.goals[i];
        lengths.push_back(aStarSearch(cameFrom, street.map.vertices, start, goal)
                              ? routeCost(street.map.vertices,
                                          tableRoute(cameFrom, start, goal, street.map.vertices.size()))
                              : -1.0);
    }
    return lengths;
}

static std::vector<double> jumpLengths(const StreetCase& street)
{
    GridShape grid;
    std::string why;
    if (!recogniseGrid(street.map.vertices, grid, why)) {
        std::fprintf(stderr, "vialoom_bench: the street map is not a grid: %s\n", why.c_str());
        std::exit(EXIT_FAILURE);
    }
    std::vector<double> lengths;
    for (std::size_t i = 0; i < street.starts.size(); ++i) {
        const JumpSearch jumped = jumpPointSearch(grid, street.starts[i], street.goals[i]);
        lengths.push_back(jumped.found ? jumped.cost : -1.0);
    }
    return lengths;
}

static void BM_JumpPointsVsAStar_Streets(benchmark::State& state)
{
    const StreetCase& street = streetCase();
    const std::vector<double> expected = aStarLengths(street);
    const std::vector<double> jumped = jumpLengths(street);
    for (std::size_t i = 0; i < expected.size(); ++i)
        if ((expected[i] < 0) != (jumped[i] < 0) || std::fabs(expected[i] - jumped[i]) > 1e-4 * expected[i]) {
            state.SkipWithError("Jump Point Search and A* disagree on a problem");
            return;
        }
    double aStarSeconds = 0.0, jumpSeconds = 0.0;
    for (auto _ : state) {
        auto began = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(aStarLengths(street).data());
        aStarSeconds += secondsSince(began);
        began = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(jumpLengths(street).data());
        const double jump = secondsSince(began);
        jumpSeconds += jump;
        state.SetIterationTime(jump);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["cells"] = static_cast<double>(street.map.vertices.size());
    state.counters["problems"] = static_cast<double>(street.starts.size());
    state.counters["aStarMs"] = aStarSeconds * 1e3 / runs;
    state.counters["speedUp"] = aStarSeconds / jumpSeconds;
#ifndef __OPTIMIZE__
    state.SetLabel("unoptimised build: numbers mean little");
#endif
}

BENCHMARK(BM_JumpPointsVsAStar_Streets)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
