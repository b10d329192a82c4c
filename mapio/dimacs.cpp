#include "mapio/dimacs.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <new>
#include <vector>

#include "files/error_text.h"
#include "files/line_source.h"
#include "files/progress.h"
#include "mapio/road_graph.h"

constexpr int kMaxFields = 6;
constexpr long kProgressEveryLines = 1 << 16;
constexpr long long kMaxLongitude = 180'000'000;
constexpr long long kMaxLatitude = 90'000'000;
// The largest weight a float link cost holds exactly, along with every
// smaller integer.
constexpr long long kMaxWeight = 1LL << 24;

struct ArcPart {
    long nodes = -1; // -1 until the problem line
    long long arcsDeclared = 0;
    std::vector<std::pair<int, int>> arcs;
    std::vector<float> weights; // each arc's, in arc order
};

struct Coordinate {
    int id;
    int x;
    int y;
};

// What the current line is, for errors and progress.
struct Place {
    const std::string& name;
    LineSource& lines;
    std::uint64_t progressBase;
};

static std::string at(const Place& place)
{
    return errorAt(place.name, place.lines.lineNumber);
}

// Splits on spaces and tabs; returns the field count, kMaxFields + 1 for more.
static int splitFields(std::string_view line, std::string_view fields[kMaxFields])
{
    int count = 0;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            return count;
        if (count == kMaxFields)
            return kMaxFields + 1;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        fields[count++] = line.substr(start, i - start);
    }
}

static bool parseNumber(std::string_view field, long long& value)
{
    const char* end = field.data() + field.size();
    const auto result = std::from_chars(field.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

// The next line that is not a comment or blank, split into fields; false at
// the end of the text or on a read fault (error then set).
static bool nextFields(Place& place, std::string_view fields[kMaxFields], int& count, std::string& error)
{
    std::string_view line;
    while (nextLine(place.lines, line)) {
        if (place.lines.lineNumber % kProgressEveryLines == 0)
            progressUpdate(place.progressBase + place.lines.bytesRead);
        count = splitFields(line, fields);
        if (count > 0 && fields[0] != "c")
            return true;
    }
    progressUpdate(place.progressBase + place.lines.bytesRead);
    if (place.lines.lineTooLong)
        error = errorAt(place.name, place.lines.lineNumber + 1) + "line too long";
    else if (place.lines.readFailed)
        error = place.name + ": cannot read: input/output error";
    return false;
}

// Hands every line that is not a comment or blank, split into fields, to
// readLine(fields, count), which sets error when it refuses one. False at the
// first refusal or on a read fault, error set either way.
template <typename ReadLine>
static bool readEveryLine(Place& place, std::string& error, ReadLine readLine)
{
    std::string_view fields[kMaxFields];
    int count = 0;
    error.clear();
    while (nextFields(place, fields, count, error))
        if (!readLine(fields, count))
            return false;
    return error.empty();
}

static bool parseProblemLine(const Place& place, const std::string_view fields[], int count, ArcPart& part,
                             std::string& error)
{
    long long nodes = 0;
    if (part.nodes >= 0) {
        error = at(place) + "second problem line";
        return false;
    }
    if (count != 4 || fields[1] != "sp" || !parseNumber(fields[2], nodes) ||
        !parseNumber(fields[3], part.arcsDeclared) || nodes < 0 || part.arcsDeclared < 0) {
        error = at(place) + "expected \"p sp NODES ARCS\"";
        return false;
    }
    if (nodes < 1 || nodes > kMaxMapVertices) {
        error = at(place) + "node count " + std::to_string(nodes) + " outside 1.." + std::to_string(kMaxMapVertices);
        return false;
    }
    part.nodes = static_cast<long>(nodes);
    part.arcs.reserve(static_cast<std::size_t>(std::min(part.arcsDeclared, 1LL << 20)));
    part.weights.reserve(part.arcs.capacity());
    return true;
}

static bool parseArcLine(const Place& place, const std::string_view fields[], int count, ArcPart& part,
                         std::string& error)
{
    long long from = 0, to = 0, length = 0;
    if (part.nodes < 0) {
        error = at(place) + "arc before the problem line";
        return false;
    }
    if (count != 4 || !parseNumber(fields[1], from) || !parseNumber(fields[2], to) ||
        !parseNumber(fields[3], length) || length < 0) {
        error = at(place) + "expected \"a FROM TO LENGTH\"";
        return false;
    }
    if (length < 1 || length > kMaxWeight) {
        error = at(place) + "arc weight " + std::to_string(length) + " outside 1.." + std::to_string(kMaxWeight);
        return false;
    }
    for (long long node : {from, to})
        if (node < 1 || node > part.nodes) {
            error = at(place) + "node " + std::to_string(node) + " outside 1.." + std::to_string(part.nodes);
            return false;
        }
    if (static_cast<long long>(part.arcs.size()) == part.arcsDeclared) {
        error = at(place) + "more arcs than the " + std::to_string(part.arcsDeclared) + " declared";
        return false;
    }
    part.arcs.emplace_back(static_cast<int>(from - 1), static_cast<int>(to - 1));
    part.weights.push_back(static_cast<float>(length));
    return true;
}

static bool parseArcs(Place place, ArcPart& part, std::string& error)
{
    const bool read = readEveryLine(place, error, [&](const std::string_view fields[], int count) {
        if (fields[0] == "p")
            return parseProblemLine(place, fields, count, part, error);
        if (fields[0] == "a")
            return parseArcLine(place, fields, count, part, error);
        error = at(place) + "expected a \"c\", \"p\" or \"a\" line";
        return false;
    });
    if (!read)
        return false;
    if (part.nodes < 0)
        error = place.name + ": no \"p sp NODES ARCS\" line";
    else if (static_cast<long long>(part.arcs.size()) != part.arcsDeclared)
        error = place.name + ": " + std::to_string(part.arcs.size()) + " arcs where " +
                std::to_string(part.arcsDeclared) + " are declared";
    return error.empty();
}

static bool parseCoordinateProblem(const Place& place, const std::string_view fields[], int count, long nodes,
                                   bool& seenProblem, std::string& error)
{
    long long declared = 0;
    if (seenProblem) {
        error = at(place) + "second problem line";
        return false;
    }
    if (count != 5 || fields[1] != "aux" || fields[2] != "sp" || fields[3] != "co" ||
        !parseNumber(fields[4], declared)) {
        error = at(place) + "expected \"p aux sp co NODES\"";
        return false;
    }
    if (declared != nodes) {
        error = at(place) + std::to_string(declared) + " nodes where the graph has " + std::to_string(nodes);
        return false;
    }
    seenProblem = true;
    return true;
}

static bool parseCoordinateLine(const Place& place, const std::string_view fields[], int count,
                                std::vector<bool>& given, std::vector<Coordinate>& coordinates, std::string& error)
{
    long long id = 0, x = 0, y = 0;
    if (count != 4 || !parseNumber(fields[1], id) || !parseNumber(fields[2], x) || !parseNumber(fields[3], y)) {
        error = at(place) + "expected \"v ID X Y\"";
        return false;
    }
    if (id < 1 || id > static_cast<long long>(given.size()))
        error = at(place) + "node " + std::to_string(id) + " outside 1.." + std::to_string(given.size());
    else if (given[id - 1])
        error = at(place) + "node " + std::to_string(id) + " given twice";
    else if (x < -kMaxLongitude || x > kMaxLongitude)
        error = at(place) + "longitude " + std::to_string(x) + " outside -180000000..180000000";
    else if (y < -kMaxLatitude || y > kMaxLatitude)
        error = at(place) + "latitude " + std::to_string(y) + " outside -90000000..90000000";
    if (!error.empty())
        return false;
    given[id - 1] = true;
    coordinates.push_back(Coordinate{static_cast<int>(id), static_cast<int>(x), static_cast<int>(y)});
    return true;
}

// Puts one coordinate for every node, in node order, into the network.
static void placeCoordinates(const std::vector<Coordinate>& coordinates, RoadNetwork& network)
{
    network.lon.assign(coordinates.size(), 0.0);
    network.lat.assign(coordinates.size(), 0.0);
    for (const Coordinate& coordinate : coordinates) {
        network.lon[coordinate.id - 1] = coordinate.x / 1e6;
        network.lat[coordinate.id - 1] = coordinate.y / 1e6;
    }
}

// Reads the coordinates of nodes 1..nodes into network.lon and network.lat.
static bool parseCoordinates(Place place, long nodes, RoadNetwork& network, std::string& error)
{
    bool seenProblem = false;
    std::vector<bool> given(static_cast<std::size_t>(nodes), false);
    std::vector<Coordinate> coordinates;
    const bool read = readEveryLine(place, error, [&](const std::string_view fields[], int count) {
        if (fields[0] == "p")
            return parseCoordinateProblem(place, fields, count, nodes, seenProblem, error);
        if (fields[0] == "v" && seenProblem)
            return parseCoordinateLine(place, fields, count, given, coordinates, error);
        error = at(place) + (fields[0] == "v" ? "coordinates before the problem line"
                                              : "expected a \"c\", \"p\" or \"v\" line");
        return false;
    });
    if (!read)
        return false;
    if (!seenProblem) {
        error = place.name + ": no \"p aux sp co NODES\" line";
        return false;
    }
    if (static_cast<long>(coordinates.size()) != nodes) {
        long missing = 0;
        while (given[missing])
            ++missing;
        error = place.name + ": node " + std::to_string(missing + 1) + " has no coordinates";
        return false;
    }
    placeCoordinates(coordinates, network);
    return true;
}

static bool loadDimacs(Place gr, Place co, Scene& map, std::string& error, long& dropped, long& uneven)
{
    ArcPart arcs;
    RoadNetwork network;
    if (!parseArcs(gr, arcs, error))
        return false;
    co.progressBase = gr.lines.bytesRead;
    if (!parseCoordinates(co, arcs.nodes, network, error))
        return false;
    network.pairs = std::move(arcs.arcs);
    network.costs = std::move(arcs.weights);
    dropped = buildRoadMap(network, map, &uneven);
    map.costUnit = CostUnit::FileUnits;
    return true;
}

static std::string coordinatesPathOf(const std::string& path)
{
    const std::string stem = path.size() >= 3 && path.compare(path.size() - 3, 3, ".gr") == 0
                                 ? path.substr(0, path.size() - 3)
                                 : path;
    return stem + ".co";
}

bool parseDimacs(std::string_view grText, const std::string& grName, std::string_view coText,
                 const std::string& coName, Scene& map, std::string& error, long* droppedLinks, long* unevenPairs)
{
    LineSource grLines = linesOfText(grText);
    LineSource coLines = linesOfText(coText);
    long dropped = 0, uneven = 0;
    if (!loadDimacs(Place{grName, grLines, 0}, Place{coName, coLines, 0}, map, error, dropped, uneven))
        return false;
    if (droppedLinks != nullptr)
        *droppedLinks = dropped;
    if (unevenPairs != nullptr)
        *unevenPairs = uneven;
    return true;
}

bool readDimacsFile(const std::string& path, Scene& map, std::string& error)
{
    LineSource grLines, coLines;
    long dropped = 0, uneven = 0;
    bool done = false;
    try {
        const std::string coPath = coordinatesPathOf(path);
        if (openLines(path, grLines, error) && openLines(coPath, coLines, error)) {
            progressBegin(path, grLines.fileSize + coLines.fileSize);
            done = loadDimacs(Place{path, grLines, 0}, Place{coPath, coLines, 0}, map, error, dropped, uneven);
        }
    } catch (const std::bad_alloc&) {
        error = outOfMemoryError(path);
    }
    progressEnd();
    closeLines(grLines);
    closeLines(coLines);
    if (done && dropped > 0)
        std::fprintf(stderr, "vialoom: %s: warning: dropped %ld links at nodes with more than %d\n", path.c_str(),
                     dropped, kMaxLinks);
    if (done && uneven > 0)
        std::fprintf(stderr, "vialoom: %s: warning: %ld links weigh differently each way (each keeps the smaller)\n",
                     path.c_str(), uneven);
    return done;
}
