#include "app/commands.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <new>
#include <vector>

#include "app/check_command.h"
#include "files/file_names.h"
#include "mapio/map_file.h"
#include "route/route_walk.h"
#include "route/search.h"
#include "ui/picture.h"

#ifndef VIALOOM_VERSION
#define VIALOOM_VERSION "unknown"
#endif

struct ConvertOptions {
    int from = -1;
    int to = -1;
    bool view = false;
};

static bool parseIndex(const std::string& word, int& index)
{
    const char* end = word.data() + word.size();
    const auto [stop, fault] = std::from_chars(word.data(), end, index);
    return fault == std::errc() && stop == end && index >= 0;
}

static bool vertexInRange(const std::string& word, const Scene& map, int& index, std::FILE* err)
{
    if (!parseIndex(word, index)) {
        std::fprintf(err, "vialoom: route: '%s' is not a vertex index\n", word.c_str());
        return false;
    }
    if (index >= static_cast<int>(map.vertices.size())) {
        std::fprintf(err, "vialoom: route: vertex %d out of range (the map has %zu vertices)\n", index,
                     map.vertices.size());
        return false;
    }
    return true;
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
    const bool found = searchRoute(cameFrom, map.vertices, start, goal, SearchMode::AStar, &trace);
    std::fprintf(out, "found: %s\n", found ? "yes" : "no");
    std::fprintf(out, "expanded: %zu of %zu vertices\n", trace.expanded.size(), map.vertices.size());
    if (!found)
        return 1;
    std::vector<int> route = tableRoute(cameFrom, start, goal, map.vertices.size());
    const float cost = routeCost(map.vertices, route);
    std::reverse(route.begin(), route.end());
    std::fprintf(out, "cost: %.9g\n", cost);
    if (map.metresPerUnit > 0.0)
        std::fprintf(out, "cost in metres: %.1f\n", cost * map.metresPerUnit);
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
                std::fprintf(err, "vialoom: convert: '%s' is not a vertex index\n", words[i].c_str());
                return false;
            }
        } else {
            std::fprintf(err, "vialoom: convert: unknown option '%s'\n", word.c_str());
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
        std::fprintf(err, "vialoom: convert: %s: write .vmap or .svg\n", target.c_str());
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
        std::fprintf(err, "vialoom: %s\n", error.c_str());
        return 2;
    }
    return 0;
}

bool loadMapOrComplain(const std::string& path, Scene& map, std::FILE* err)
{
    std::string error;
    if (readMapFile(path, map, error))
        return true;
    std::fprintf(err, "vialoom: %s\n", error.c_str());
    return false;
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
    std::fprintf(err, "vialoom: %s\nTry 'vialoom --help' for more information.\n", line.error.c_str());
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
    try {
        return runCaught(line, out, err);
    } catch (const std::bad_alloc&) {
        // Readers say which file did not fit; this is the search or the writing.
        std::fflush(out);
        std::fprintf(err, "vialoom: %s: not enough memory\n", commandName(line.command));
        return 2;
    }
}
