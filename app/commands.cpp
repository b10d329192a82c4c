#include "app/commands.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <new>
#include <vector>

#include "app/check_command.h"
#include "files/error_text.h"
#include "files/file_names.h"
#include "mapio/map_file.h"
#include "route/route_walk.h"
#include "route/search.h"
#include "ui/picture.h"
#include "ui/stats_text.h"

#ifndef VIALOOM_VERSION
#define VIALOOM_VERSION "unknown"
#endif

struct ConvertOptions {
    int from = -1;
    int to = -1;
    bool view = false;
};

// Digits only: from_chars would take "-0", and no index has a sign.
static bool parseIndex(const std::string& word, int& index)
{
    if (word.empty() || word[0] < '0' || word[0] > '9')
        return false;
    const char* end = word.data() + word.size();
    const auto [stop, fault] = std::from_chars(word.data(), end, index);
    return fault == std::errc() && stop == end;
}

static bool vertexInRange(const std::string& word, const Scene& map, int& index, std::FILE* err)
{
    if (!parseIndex(word, index)) {
        complain(err, "route: '" + word + "' is not a vertex index");
        return false;
    }
    if (index >= static_cast<int>(map.vertices.size())) {
        std::fprintf(err, "vialoom: route: vertex %d out of range (the map has %zu vertices)\n", index,
                     map.vertices.size());
        return false;
    }
    return true;
}

static const char* costUnitSuffix(CostUnit unit)
{
    switch (unit) {
    case CostUnit::Metres:
        return " m";
    case CostUnit::Seconds:
        return " s";
    case CostUnit::FileUnits:
    case CostUnit::Length:
        break;
    }
    return "";
}

static int printRoute(const std::vector<std::string>& words, std::FILE* out, std::FILE* err)
{
    Scene map;
    int start = -1, goal = -1;
    if (!loadMapOrComplain(words[0], map, err))
        return 2;
    if (!vertexInRange(words[1], map, start, err) || !vertexInRange(words[2], map, goal, err))
        return 2;
    std::map<int, int> cameFrom;
    SearchTrace trace;
    const CostModel costs = costModelOf(map.vertices);
    const bool found = searchRoute(cameFrom, map.vertices, start, goal, SearchMode::AStar, &trace, costs);
    std::fprintf(out, "found: %s\n", found ? "yes" : "no");
    std::fprintf(out, "expanded: %zu of %zu vertices\n", trace.expanded.size(), map.vertices.size());
    if (!found)
        return 1;
    std::vector<int> route = tableRoute(cameFrom, start, goal, map.vertices.size());
    const double cost = routeCost(map.vertices, route, costs.given);
    std::reverse(route.begin(), route.end());
    if (costs.given && map.costUnit != CostUnit::Length)
        std::fprintf(out, "cost: %s%s\n", exactCostText(cost).c_str(), costUnitSuffix(map.costUnit));
    else
        std::fprintf(out, "cost: %.9g\n", costs.given ? cost : static_cast<float>(cost));
    // A cost in the map's own unit needs no conversion.
    const bool inLengths = map.costUnit == CostUnit::Length;
    if (inLengths && map.metresPerUnit > 0.0)
        std::fprintf(out, "cost in metres: %.1f\n", cost * map.metresPerUnit);
    if (inLengths && map.cellSize > 0.0)
        std::fprintf(out, "cost in cells: %.4f\n", cost / map.cellSize);
    std::fprintf(out, "hops: %zu\nroute:", route.size() - 1);
    for (int vertex : route)
        std::fprintf(out, " %d", vertex);
    std::fprintf(out, "\n");
    return 0;
}

static bool parseConvertOptions(const std::vector<std::string>& words, ConvertOptions& options, std::FILE* err)
{
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--view") {
            options.view = true;
        } else if ((word == "--from" || word == "--to") && i + 1 < words.size()) {
            int& index = word == "--from" ? options.from : options.to;
            if (!parseIndex(words[++i], index)) {
                complain(err, "convert: '" + words[i] + "' is not a vertex index");
                return false;
            }
        } else {
            complain(err, "convert: unknown option '" + word + "'");
            return false;
        }
    }
    if ((options.from < 0) != (options.to < 0)) {
        std::fprintf(err, "vialoom: convert: --from and --to go together\n");
        return false;
    }
    return true;
}

static int convertMap(const std::vector<std::string>& words, std::FILE* err)
{
    ConvertOptions options;
    if (!parseConvertOptions(words, options, err))
        return 2;
    const std::string& target = words[1];
    const bool picture = hasEnding(target, ".svg");
    if (!picture && !hasEnding(target, ".vmap")) {
        complain(err, "convert: " + target + ": write .vmap or .svg");
        return 2;
    }
    if (!picture && (options.view || options.from >= 0)) {
        std::fprintf(err, "vialoom: convert: --from, --to and --view only apply to .svg\n");
        return 2;
    }
    Scene map;
    if (!loadMapOrComplain(words[0], map, err))
        return 2;
    std::string error;
    const bool written = picture ? exportMapSvg(map, options.from, options.to, options.view, target, error)
                                 : writeMapFile(target, map, error);
    if (!written) {
        complain(err, error);
        return 2;
    }
    return 0;
}

void complain(std::FILE* err, const std::string& text)
{
    std::fprintf(err, "vialoom: %s\n", printableText(text).c_str());
}

bool loadMapOrComplain(const std::string& path, Scene& map, std::FILE* err)
{
    std::string error;
    if (readMapFile(path, map, error))
        return true;
    complain(err, error);
    return false;
}

void applyCostsOption(const CommandLine& line)
{
    askMapCosts(!line.costs.empty(), line.costs == "time" ? OsmCosts::Time : OsmCosts::Distance);
}

static int runCaught(const CommandLine& line, std::FILE* out, std::FILE* err)
{
    switch (line.command) {
    case Command::Help:
        std::fputs(helpText().c_str(), out);
        return 0;
    case Command::Version:
        std::fprintf(out, "vialoom %s\n", VIALOOM_VERSION);
        return 0;
    case Command::Route:
        return printRoute(line.words, out, err);
    case Command::Check:
        return runCheckCommand(line.words, out, err);
    case Command::Convert:
        return convertMap(line.words, err);
    case Command::Wrong:
    case Command::Window:
        break;
    }
    complain(err, line.error);
    std::fprintf(err, "Try 'vialoom --help' for more information.\n");
    return 2;
}

static const char* commandName(Command command)
{
    switch (command) {
    case Command::Route:
        return "route";
    case Command::Check:
        return "check";
    case Command::Convert:
        return "convert";
    default:
        return "vialoom";
    }
}

int runCommand(const CommandLine& line, std::FILE* out, std::FILE* err)
{
    // The line's --costs rules the maps this command reads, and no others.
    applyCostsOption(line);
    int status = 2;
    try {
        status = runCaught(line, out, err);
    } catch (const std::bad_alloc&) {
        // Readers say which file did not fit; this is the search or the writing.
        std::fflush(out);
        std::fprintf(err, "vialoom: %s: not enough memory\n", commandName(line.command));
    }
    askMapCosts(false, OsmCosts::Distance);
    return status;
}
