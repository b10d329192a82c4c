#include "app/commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <new>
#include <vector>

#include "app/check_command.h"
#include "app/pairs.h"
#include "app/preprocess.h"
#include "files/error_text.h"
#include "files/file_names.h"
#include "files/progress.h"
#include "mapio/map_file.h"
#include "route/prepared.h"
#include "route/route_walk.h"
#include "route/search.h"
#include "ui/compare_table.h"
#include "ui/picture.h"
#include "ui/stats_text.h"

#ifndef VIALOOM_VERSION
#define VIALOOM_VERSION "unknown"
#endif

struct ConvertOptions {
    int from = -1;
    int to = -1;
    bool view = false;
    bool hasRegion = false;
    MapBox region;
};

constexpr char kRegionRule[] = "convert: --region takes X0 Y0 X1 Y1, finite, with X0 < X1 and Y0 < Y1";

// Digits only: from_chars would take "-0", and no index has a sign.
static bool parseIndex(const std::string& word, int& index)
{
    if (word.empty() || word[0] < '0' || word[0] > '9')
        return false;
    const char* end = word.data() + word.size();
    const auto [stop, fault] = std::from_chars(word.data(), end, index);
    return fault == std::errc() && stop == end;
}

static bool vertexInRange(const std::string& word, const Scene& map, int& index, std::FILE* err,
                          const char* command = "route")
{
    if (!parseIndex(word, index)) {
        complain(err, std::string(command) + ": '" + word + "' is not a vertex index");
        return false;
    }
    if (index >= static_cast<int>(map.vertices.size())) {
        std::fprintf(err, "vialoom: %s: vertex %d out of range (the map has %zu vertices)\n", command, index,
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

static int printRoute(const std::vector<std::string>& words, const SearchChoice& choice, std::FILE* out,
                      std::FILE* err)
{
    Scene map;
    int start = -1, goal = -1;
    if (!loadMapOrComplain(words[0], map, err))
        return 2;
    if (!vertexInRange(words[1], map, start, err) || !vertexInRange(words[2], map, goal, err))
        return 2;
    PreparedGraph prepared;
    if (!mapUsableOrComplain(words[0], map, choice.mode, prepared, err))
        return 2;
    if (!preprocessFor(choice.mode, map.vertices, words[0], err))
        return 2;
    Predecessors cameFrom;
    SearchTrace trace;
    const CostModel costs = costModelOf(map.vertices);
    const bool found = searchRouteWith(cameFrom, map.vertices, start, goal, choice, &trace, costs, &prepared);
    forgetPreprocessing();
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

// A plain decimal or exponent number that is finite; nothing around it.
static bool parseCoordinate(const std::string& word, double& value)
{
    const char* end = word.data() + word.size();
    float read = 0.0f;
    const auto [stop, fault] = std::from_chars(word.data(), end, read);
    value = read;
    return !word.empty() && fault == std::errc() && stop == end && std::isfinite(read);
}

// --region X0 Y0 X1 Y1 from words[at] on; at moves past what it took.
static bool parseRegion(const std::vector<std::string>& words, std::size_t& at, MapBox& region, std::FILE* err)
{
    double numbers[4] = {};
    for (double& number : numbers)
        if (++at >= words.size() || !parseCoordinate(words[at], number)) {
            std::fprintf(err, "vialoom: %s\n", kRegionRule);
            return false;
        }
    region = MapBox{numbers[0], numbers[1], numbers[2], numbers[3]};
    if (!(region.left < region.right && region.top < region.bottom)) {
        std::fprintf(err, "vialoom: %s\n", kRegionRule);
        return false;
    }
    return true;
}

static bool parseConvertOptions(const std::vector<std::string>& words, ConvertOptions& options, std::FILE* err)
{
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--view") {
            options.view = true;
        } else if (word == "--region") {
            if (!parseRegion(words, i, options.region, err))
                return false;
            options.hasRegion = true;
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

static int convertMap(const std::vector<std::string>& words, const SearchChoice& choice, std::FILE* err)
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
    if (!picture && (options.view || options.from >= 0 || options.hasRegion)) {
        std::fprintf(err, "vialoom: convert: --from, --to, --view and --region only apply to .svg\n");
        return 2;
    }
    Scene map;
    if (!loadMapOrComplain(words[0], map, err))
        return 2;
    if (picture && options.from >= 0 && !preprocessFor(choice.mode, map.vertices, words[0], err))
        return 2;
    std::string error;
    const bool written = picture ? exportMapSvg(map, options.from, options.to, options.view,
                                                options.hasRegion ? &options.region : nullptr, target, error, choice)
                                 : writeMapFile(target, map, error);
    forgetPreprocessing();
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

bool mapUsableOrComplain(const std::string& path, const Scene& map, SearchMode mode, PreparedGraph& prepared,
                         std::FILE* err)
{
    std::string why;
    if (searchUsable(map.vertices, mode, &prepared, why))
        return true;
    complain(err, path + ": " + why);
    return false;
}

// The preparation's progress on the command line's progress line.
static void reportPreparation(const char* work, int done, int total)
{
    static bool open = false;
    if (!open || done <= 1)
        progressBeginWork(work, static_cast<std::uint64_t>(total));
    open = done < total;
    progressUpdate(static_cast<std::uint64_t>(done));
    if (!open)
        progressEnd();
}

static const char* commandName(Command command);

// The commands that search, once their options are known to fit them.
static int runSearchCommand(const CommandLine& line, std::FILE* out, std::FILE* err)
{
    if (line.csv && line.command != Command::Compare) {
        std::fprintf(err, "vialoom: %s: '--csv' applies to compare only\n", commandName(line.command));
        return 2;
    }
    if (line.algorithmGiven && line.command == Command::Compare) {
        std::fprintf(err, "vialoom: compare: runs every algorithm; '--algorithm' does not apply\n");
        return 2;
    }
    switch (line.command) {
    case Command::Route:
        if (line.words.size() == 3 && line.words[1] == "--pairs")
            return runPairs(line.words[0], line.words[2], line.choice, out, err);
        return printRoute(line.words, line.choice, out, err);
    case Command::Check:
        return runCheckCommand(line.words, out, err, line.choice);
    case Command::Convert:
        return convertMap(line.words, line.choice, err);
    default:
        break;
    }
    Scene map;
    int start = -1, goal = -1;
    if (!loadMapOrComplain(line.words[0], map, err))
        return 2;
    if (!vertexInRange(line.words[1], map, start, err, "compare") ||
        !vertexInRange(line.words[2], map, goal, err, "compare"))
        return 2;
    if (!preprocessFor(SearchMode::Ch, map.vertices, line.words[0], err))
        return 2;
    const std::vector<CompareRow> rows = compareSearches(map.vertices, start, goal, line.choice);
    forgetPreprocessing();
    std::fputs((line.csv ? compareCsv(rows) : compareTable(rows, map)).c_str(), out);
    return rows.front().reference < kNoRoute ? 0 : 1;
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
    case Command::Check:
    case Command::Convert:
    case Command::Compare:
        return runSearchCommand(line, out, err);
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
    case Command::Compare:
        return "compare";
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
    preparationProgress = reportPreparation;
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
