#include "app/check_command.h"

#include <cmath>

#include "app/commands.h"
#include "app/preprocess.h"
#include "files/error_text.h"
#include "route/route_walk.h"

// A map read for the problems that name it, kept until another map is named.
struct LoadedMap {
    std::string path;
    Scene map;
    GridInfo grid;
    PreparedGraph prepared;
};

static std::string describeCell(const char* which, int x, int y)
{
    return std::string(which) + " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// The vertex of cell (x, y), or -1 with why in reason.
static int endpointVertex(const GridInfo& grid, const char* which, int x, int y, std::string& reason)
{
    if (x < 0 || x >= grid.width || y < 0 || y >= grid.height) {
        reason = describeCell(which, x, y) + " is outside the " + std::to_string(grid.width) + " x " +
                 std::to_string(grid.height) + " map";
        return -1;
    }
    const int vertex = grid.cellVertex[static_cast<std::size_t>(y) * grid.width + x];
    if (vertex < 0)
        reason = describeCell(which, x, y) + " is blocked";
    return vertex;
}

static std::string formatLength(double length)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.8f", length);
    return text;
}

// Makes sure loaded holds the map at path, with what mode needs prepared;
// false with error when it cannot be read or searched.
static bool loadMap(const std::string& path, LoadedMap& loaded, SearchMode mode, std::string& error)
{
    if (loaded.path == path)
        return true;
    LoadedMap fresh;
    if (!readMovingAiFile(path, fresh.map, error, &fresh.grid))
        return false;
    std::string why;
    if (!searchUsable(fresh.map.vertices, mode, &fresh.prepared, why)) {
        error = path + ": " + why;
        return false;
    }
    fresh.path = path;
    loaded = std::move(fresh);
    return true;
}

static int usageError(std::FILE* err)
{
    std::fprintf(err, "vialoom: usage: vialoom check SCENFILE [MAPFILE]\n");
    return 2;
}

int runCheckCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, const SearchChoice& choice)
{
    if (args.empty() || args.size() > 2)
        return usageError(err);
    const std::string& scenarioPath = args[0];
    std::vector<ScenarioProblem> problems;
    std::string error;
    LoadedMap loaded;
    if (!readScenarioFile(scenarioPath, problems, error) ||
        (args.size() == 2 && !loadMap(args[1], loaded, choice.mode, error))) {
        complain(err, error);
        return 2;
    }
    int passed = 0;
    int failed = 0;
    std::string prepared; // the map preprocessed for the search, if it needs that
    for (const ScenarioProblem& problem : problems) {
        const std::string mapPath = args.size() == 2 ? args[1] : scenarioMapPath(scenarioPath, problem.mapName);
        if (!loadMap(mapPath, loaded, choice.mode, error)) {
            complain(err, error);
            return 2;
        }
        if (prepared != loaded.path) {
            if (!preprocessFor(choice.mode, loaded.map.vertices, loaded.path, err))
                return 2;
            prepared = loaded.path;
        }
        double length = 0.0;
        const std::string reason = checkProblem(loaded.map, loaded.grid, problem, length, choice, &loaded.prepared);
        if (reason.empty()) {
            ++passed;
            continue;
        }
        ++failed;
        std::fprintf(out, "%s:%d: %s\n", printableText(scenarioPath).c_str(), problem.line, reason.c_str());
    }
    forgetPreprocessing();
    std::fprintf(out, "%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

std::string checkProblem(const Scene& map, const GridInfo& grid, const ScenarioProblem& problem, double& length,
                         const SearchChoice& choice, PreparedGraph* prepared)
{
    length = -1.0;
    std::string reason;
    if (problem.mapWidth != grid.width || problem.mapHeight != grid.height)
        return "the map is " + std::to_string(grid.width) + " x " + std::to_string(grid.height) +
               ", the scenario says " + std::to_string(problem.mapWidth) + " x " + std::to_string(problem.mapHeight);
    const int start = endpointVertex(grid, "start", problem.startX, problem.startY, reason);
    const int goal = start < 0 ? -1 : endpointVertex(grid, "goal", problem.goalX, problem.goalY, reason);
    if (start < 0 || goal < 0)
        return reason;
    // One table for every problem, never cleared: a fresh one costs a pass
    // over the map's vertices, more than a Jump Point Search. The route reads
    // back from the goal through entries this search wrote (every vertex on
    // it was reached now), so what earlier problems left is never followed.
    static Predecessors cameFrom;
    // The model once per map where check keeps one: a pass over every link
    // would cost more than most searches. Jump Point Search needs none: it
    // prices moves by the grid it recognised.
    const CostModel costs = choice.mode == SearchMode::Jps ? CostModel{}
                            : prepared != nullptr          ? preparedCostModel(*prepared, map.vertices)
                                                           : costModelOf(map.vertices);
    if (!searchRouteWith(cameFrom, map.vertices, start, goal, choice, nullptr, costs, prepared))
        return "no route found, optimal " + formatLength(problem.optimalLength);
    const double cost = routeCost(map.vertices, tableRoute(cameFrom, start, goal, map.vertices.size()));
    if (std::isinf(cost))
        return "the search left a broken route";
    length = cost / map.cellSize; // as 'route' gives it
    if (std::fabs(length - problem.optimalLength) > kLengthTolerance * problem.optimalLength)
        return "route length " + formatLength(length) + ", optimal " + formatLength(problem.optimalLength);
    return "";
}

