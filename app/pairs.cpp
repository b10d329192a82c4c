#include "app/pairs.h"

#include <chrono>
#include <charconv>

#include "app/commands.h"
#include "app/preprocess.h"
#include "files/error_text.h"
#include "files/file_text.h"
#include "route/prepared.h"
#include "route/route_walk.h"
#include "ui/stats_text.h"

// Digits only, no sign, fitting an int.
static bool readIndex(const std::string& word, int& index)
{
    if (word.empty() || word[0] < '0' || word[0] > '9')
        return false;
    const char* end = word.data() + word.size();
    const auto [stop, fault] = std::from_chars(word.data(), end, index);
    return fault == std::errc() && stop == end;
}

static bool readPair(const std::vector<std::string>& words, std::size_t vertexCount, RoutePair& pair,
                     std::string& what)
{
    if (words.size() != 2) {
        what = "expected FROM TO, two vertex indices, found " + std::to_string(words.size()) + " words";
        return false;
    }
    int* ends[2] = {&pair.from, &pair.to};
    for (int i = 0; i < 2; ++i) {
        if (!readIndex(words[i], *ends[i])) {
            what = "'" + printableText(words[i]) + "' is not a vertex index";
            return false;
        }
        if (static_cast<std::size_t>(*ends[i]) >= vertexCount) {
            what = "vertex " + words[i] + " out of range (the map has " + std::to_string(vertexCount) +
                   " vertices)";
            return false;
        }
    }
    return true;
}

bool readPairs(LineSource& source, const std::string& name, std::size_t vertexCount, std::vector<RoutePair>& pairs,
               std::string& error)
{
    std::string_view line;
    while (nextLine(source, line)) {
        const std::vector<std::string> words = splitWords(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        RoutePair pair;
        pair.line = source.lineNumber;
        std::string what;
        if (!readPair(words, vertexCount, pair, what)) {
            error = errorAt(name, source.lineNumber) + what;
            return false;
        }
        pairs.push_back(pair);
    }
    if (source.lineTooLong) {
        error = errorAt(name, source.lineNumber + 1) + "line too long";
        return false;
    }
    if (source.readFailed) {
        error = printableText(name) + ": cannot read: " + errorReason(source.readError);
        return false;
    }
    return true;
}

std::string pairLine(const RoutePair& pair, bool found, const std::string& cost, int hops, double microseconds)
{
    char text[160];
    if (found)
        std::snprintf(text, sizeof text, "%d %d %s %d %.0f", pair.from, pair.to, cost.c_str(), hops, microseconds);
    else
        std::snprintf(text, sizeof text, "%d %d - - %.0f", pair.from, pair.to, microseconds);
    return text;
}

int runPairs(const std::string& mapPath, const std::string& pairsPath, const SearchChoice& choice, std::FILE* out,
             std::FILE* err)
{
    Scene map;
    if (!loadMapOrComplain(mapPath, map, err))
        return 2;
    LineSource source;
    std::string error;
    std::vector<RoutePair> pairs;
    if (!openLines(pairsPath, source, error)) {
        complain(err, error);
        return 2;
    }
    const bool read = readPairs(source, pairsPath, map.vertices.size(), pairs, error);
    closeLines(source);
    if (!read) {
        complain(err, error);
        return 2;
    }
    PreparedGraph prepared;
    if (!mapUsableOrComplain(mapPath, map, choice.mode, prepared, err))
        return 2;
    if (!preprocessFor(choice.mode, map.vertices, mapPath, err))
        return 2;
    const CostModel costs = costModelOf(map.vertices);
    bool all = true;
    // One flat table for every pair: a route reads back from its goal to its
    // start through entries this search wrote, whatever earlier ones left.
    Predecessors cameFrom;
    for (const RoutePair& pair : pairs) {
        const auto began = std::chrono::steady_clock::now();
        const bool found = searchRouteWith(cameFrom, map.vertices, pair.from, pair.to, choice, nullptr, costs, &prepared);
        const double microseconds =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began).count();
        const std::vector<int> route =
            found ? tableRoute(cameFrom, pair.from, pair.to, map.vertices.size()) : std::vector<int>{};
        all = all && found && !route.empty();
        const double cost = routeCost(map.vertices, route, costs.given);
        // As route prints it: a given cost exactly, a derived one as the float it is.
        char text[64];
        if (!costs.given)
            std::snprintf(text, sizeof text, "%.9g", static_cast<float>(cost));
        const std::string costText = costs.given ? exactCostText(cost) : std::string(text);
        std::fprintf(out, "%s\n",
                     pairLine(pair, found && !route.empty(), costText, static_cast<int>(route.size()) - 1, microseconds)
                         .c_str());
    }
    forgetPreprocessing();
    return all ? 0 : 1;
}
