// "vialoom check SCENFILE [MAPFILE]": runs every problem of a Moving AI
// scenario with the program's own A* on the imported grid and compares each
// route length with the one the scenario records.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "graph/scene.h"
#include "mapio/movingai.h"
#include "mapio/scenario.h"
#include "route/prepared.h"
#include "route/search.h"

// Largest relative difference between a route length and the recorded one
// that still passes.
constexpr double kLengthTolerance = 1e-4;

// args are the words after "check". The map is MAPFILE when given, else found
// beside the scenario (scenarioMapPath). Writes one line per failed problem,
// "SCENFILE:LINE: why", then "N passed, M failed" to out. A problem fails
// when an endpoint is outside the map or blocked, when no route is found, or
// when the length differs by more than kLengthTolerance relative. Returns 0
// when none failed, 1 when some did, and 2 (with one "vialoom: ..." line on
// err) for bad usage or a file that cannot be read. choice picks the search
// (--algorithm and friends); a search that is not exact fails where dearer,
// and one that cannot search a map (Jump Point Search off a grid) stops the
// check with "vialoom: MAPFILE: why", 2.
int runCheckCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
                    const SearchChoice& choice = SearchChoice{});

// Solves one problem on map (read with grid) and judges it. Returns "" when it
// passes, else the reason; length receives the route length in cells when a
// route was found, -1 otherwise. prepared, when given, is what the search
// keeps about map between problems (route/prepared.h); without it a search
// that prepares does so for this problem alone.
std::string checkProblem(const Scene& map, const GridInfo& grid, const ScenarioProblem& problem, double& length,
                         const SearchChoice& choice = SearchChoice{}, PreparedGraph* prepared = nullptr);
