#include "mapio/osm_roads.h"

#include <bzlib.h>
#include <zlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <unordered_map>

#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/osm/way.hpp>
#include <osmium/thread/pool.hpp>

#include "files/error_text.h"
#include "files/file_names.h"
#include "files/progress.h"

constexpr const char* kNotTravellable[] = {"proposed", "construction", "platform", "raceway"};
constexpr double kKmhPerMph = 1.609344;

// A way's speed in km/h when its maxspeed says none: the README's table.
struct ClassSpeed {
    const char* highway;
    float kmh;
};
constexpr ClassSpeed kClassSpeeds[] = {
    {"motorway", 110}, {"motorway_link", 60}, {"trunk", 90},       {"trunk_link", 50},   {"primary", 70},
    {"primary_link", 50}, {"secondary", 60},  {"secondary_link", 40}, {"tertiary", 50}, {"tertiary_link", 30},
    {"unclassified", 40}, {"residential", 30}, {"living_street", 10}, {"service", 20},  {"road", 40},
    {"busway", 40},      {"track", 15},       {"cycleway", 15},     {"path", 5},          {"footway", 5},
    {"pedestrian", 5},   {"steps", 2},        {"bridleway", 5},     {"corridor", 5},
};
constexpr float kOtherSpeed = 30.0f;

using LocationIndex = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
using Locations = osmium::handler::NodeLocationsForWays<LocationIndex, LocationIndex>;

struct Collected {
    OsmRoads& roads;
    std::unordered_map<osmium::object_id_type, int> vertexOfNode;
};

static bool isTravellable(const osmium::Way& way)
{
    const char* highway = way.tags()["highway"];
    if (highway == nullptr)
        return false;
    for (const char* value : kNotTravellable)
        if (std::strcmp(highway, value) == 0)
            return false;
    const char* area = way.tags()["area"];
    return area == nullptr || std::strcmp(area, "yes") != 0;
}

// The vertex of a way's node, made on first sight; -1 when it has no location.
static int vertexOf(Collected& collected, const osmium::NodeRef& node)
{
    const osmium::Location location = node.location();
    if (!location.valid())
        return -1;
    RoadNetwork& network = collected.roads.network;
    const auto [entry, added] = collected.vertexOfNode.try_emplace(node.ref(), static_cast<int>(network.lon.size()));
    if (added) {
        network.lon.push_back(location.lon_without_check());
        network.lat.push_back(location.lat_without_check());
    }
    return entry->second;
}

// maxspeed as a number of km/h, or of mph when it ends in " mph"; 0 when it
// is neither ("none", "walk", "signals", a zone code).
static float maxSpeed(const char* tag)
{
    if (tag == nullptr)
        return 0.0f;
    char* end = nullptr;
    const double value = std::strtod(tag, &end);
    if (end == tag || !(value > 0.0) || !(value < 1000.0))
        return 0.0f;
    while (*end == ' ')
        ++end;
    if (std::strcmp(end, "mph") == 0)
        return static_cast<float>(value * kKmhPerMph);
    return *end == '\0' || std::strcmp(end, "km/h") == 0 ? static_cast<float>(value) : 0.0f;
}

static float waySpeed(const osmium::Way& way)
{
    if (const float given = maxSpeed(way.tags()["maxspeed"]); given > 0.0f)
        return given;
    const char* highway = way.tags()["highway"];
    for (const ClassSpeed& row : kClassSpeeds)
        if (std::strcmp(highway, row.highway) == 0)
            return row.kmh;
    return kOtherSpeed;
}

static void addWay(Collected& collected, const osmium::Way& way)
{
    const float speed = waySpeed(way);
    int previous = -1;
    bool first = true;
    for (const osmium::NodeRef& node : way.nodes()) {
        const int vertex = vertexOf(collected, node);
        if (!first && (previous < 0 || vertex < 0))
            ++collected.roads.pairsWithoutLocation;
        else if (!first) {
            collected.roads.network.pairs.emplace_back(previous, vertex);
            collected.roads.network.speeds.push_back(speed);
        }
        previous = vertex;
        first = false;
    }
}

static void collectBuffer(Collected& collected, Locations& locations, osmium::memory::Buffer& buffer)
{
    for (osmium::OSMObject& object : buffer.select<osmium::OSMObject>()) {
        if (object.type() == osmium::item_type::node) {
            locations.node(static_cast<const osmium::Node&>(object));
        } else if (object.type() == osmium::item_type::way) {
            auto& way = static_cast<osmium::Way&>(object);
            if (isTravellable(way)) {
                locations.way(way);
                addWay(collected, way);
            }
        }
    }
}

// The format libosmium is to read, from the ending, since it reads the
// descriptor's name and not the file's.
static const char* formatOf(const std::string& path)
{
    for (const char* ending : {"osm.pbf", "osm.bz2"})
        if (hasEnding(path, ending))
            return ending;
    return "osm";
}

// Reads every road of the file; exceptions are the caller's to catch.
static bool collectRoads(const std::string& path, int fd, Collected& collected, std::string& error)
{
    LocationIndex positiveIds, negativeIds;
    Locations locations{positiveIds, negativeIds};
    locations.ignore_errors();
    // A pool of our own: libosmium's shared one does not survive a fork.
    osmium::thread::Pool pool;
    // Through the descriptor: the very file that was checked to be regular.
    const std::string opened = "/proc/self/fd/" + std::to_string(fd);
    osmium::io::Reader reader{osmium::io::File{access(opened.c_str(), R_OK) == 0 ? opened : path, formatOf(path)},
                              osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                              osmium::io::read_meta::no, pool};
    progressBegin(path, reader.file_size());
    while (osmium::memory::Buffer buffer = reader.read()) {
        collectBuffer(collected, locations, buffer);
        progressUpdate(reader.offset());
        if (static_cast<long>(collected.roads.network.lon.size()) > kMaxMapVertices) {
            error = path + ": more than " + std::to_string(kMaxMapVertices) + " road nodes";
            return false;
        }
    }
    reader.close();
    if (collected.roads.network.lon.empty()) {
        error = path + ": no roads (no way with a highway tag a person can travel)";
        return false;
    }
    return true;
}

// Library messages may span lines and quote the file; errors are one
// printable line.
static std::string oneLine(const char* text)
{
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    return printableText(line);
}

static std::string bzip2Fault(int code)
{
    if (code == BZ_DATA_ERROR_MAGIC)
        return "not bzip2 data";
    if (code == BZ_UNEXPECTED_EOF)
        return "bzip2 data cut short";
    return "corrupt bzip2 data (bzip2 error " + std::to_string(code) + ")";
}

// A thread that cannot start for want of room for its stack says EAGAIN.
static bool isOutOfMemory(const std::system_error& fault)
{
    return fault.code() == std::errc::resource_unavailable_try_again ||
           fault.code() == std::errc::not_enough_memory;
}

bool collectOsmRoads(const std::string& path, int fd, OsmRoads& roads, std::string& error)
{
    try {
        Collected collected{roads, {}};
        return collectRoads(path, fd, collected, error);
    } catch (const osmium::xml_error& fault) {
        // Expat says "out of memory" like any other fault of the text.
        if (fault.error_code == XML_ERROR_NO_MEMORY)
            error = outOfMemoryError(path);
        else {
            // Faults the library finds in the elements themselves carry no line (0).
            const std::string where = fault.line > 0 ? ":" + std::to_string(fault.line) : "";
            error = path + where + ": bad OSM XML: " + oneLine(fault.error_string.c_str());
        }
    } catch (const osmium::bzip2_error& fault) {
        error = fault.bzip2_error_code == BZ_MEM_ERROR ? outOfMemoryError(path)
                                                        : path + ": " + bzip2Fault(fault.bzip2_error_code);
    } catch (const std::bad_alloc&) {
        error = outOfMemoryError(path);
    } catch (const std::system_error& fault) {
        error = isOutOfMemory(fault) ? outOfMemoryError(path) : path + ": cannot read: " + oneLine(fault.what());
    } catch (const std::exception& fault) {
        // Format faults come from libosmium and the protobuf decoder alike;
        // zlib's want of memory comes as one of them, in zlib's words.
        if (std::strstr(fault.what(), zError(Z_MEM_ERROR)) != nullptr)
            error = outOfMemoryError(path);
        else
            error = path + ": bad OpenStreetMap data: " + oneLine(fault.what());
    } catch (...) {
        error = path + ": bad OpenStreetMap data";
    }
    return false;
}
