#include "mapio/osm.h"

#include <bzlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <unordered_map>

#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/osm/way.hpp>

#include "files/error_text.h"
#include "files/progress.h"
#include "mapio/road_graph.h"

constexpr const char* kNotTravellable[] = {"proposed", "construction", "platform", "raceway"};

using LocationIndex = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
using Locations = osmium::handler::NodeLocationsForWays<LocationIndex, LocationIndex>;

struct Collected {
    RoadNetwork network;
    std::unordered_map<osmium::object_id_type, int> vertexOfNode;
    long pairsWithoutLocation = 0;
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
    RoadNetwork& network = collected.network;
    const auto [entry, added] = collected.vertexOfNode.try_emplace(node.ref(), static_cast<int>(network.lon.size()));
    if (added) {
        network.lon.push_back(location.lon_without_check());
        network.lat.push_back(location.lat_without_check());
    }
    return entry->second;
}

static void addWay(Collected& collected, const osmium::Way& way)
{
    int previous = -1;
    bool first = true;
    for (const osmium::NodeRef& node : way.nodes()) {
        const int vertex = vertexOf(collected, node);
        if (!first && (previous < 0 || vertex < 0))
            ++collected.pairsWithoutLocation;
        else if (!first)
            collected.network.pairs.emplace_back(previous, vertex);
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

// Reads every road of the file; exceptions are the caller's to catch.
static bool collectRoads(const std::string& path, Collected& collected, std::string& error)
{
    LocationIndex positiveIds, negativeIds;
    Locations locations{positiveIds, negativeIds};
    locations.ignore_errors();
    osmium::io::Reader reader{path, osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                              osmium::io::read_meta::no};
    progressBegin(path, reader.file_size());
    while (osmium::memory::Buffer buffer = reader.read()) {
        collectBuffer(collected, locations, buffer);
        progressUpdate(reader.offset());
        if (static_cast<long>(collected.network.lon.size()) > kMaxMapVertices) {
            error = path + ": more than " + std::to_string(kMaxMapVertices) + " road nodes";
            return false;
        }
    }
    reader.close();
    if (collected.network.lon.empty()) {
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

static bool isReadableFile(const std::string& path, std::string& error)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = path + ": cannot open: " + errorReason(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        error = path + ": cannot open: " + errorReason(EISDIR);
        return false;
    }
    return true;
}

static bool collectCaught(const std::string& path, Collected& collected, std::string& error)
{
    try {
        return collectRoads(path, collected, error);
    } catch (const osmium::xml_error& fault) {
        // Faults the library finds in the elements themselves carry no line (0).
        const std::string where = fault.line > 0 ? ":" + std::to_string(fault.line) : "";
        error = path + where + ": bad OSM XML: " + oneLine(fault.error_string.c_str());
    } catch (const osmium::bzip2_error& fault) {
        error = path + ": " + bzip2Fault(fault.bzip2_error_code);
    } catch (const std::bad_alloc&) {
        error = path + ": cannot read: out of memory";
    } catch (const std::system_error& fault) {
        error = path + ": cannot read: " + oneLine(fault.what());
    } catch (const std::exception& fault) {
        // Format faults come from libosmium and the protobuf decoder alike.
        error = path + ": bad OpenStreetMap data: " + oneLine(fault.what());
    } catch (...) {
        error = path + ": bad OpenStreetMap data";
    }
    return false;
}

bool readOsmFile(const std::string& path, Scene& map, std::string& error)
{
    if (!isReadableFile(path, error))
        return false;
    Collected collected;
    const bool done = collectCaught(path, collected, error);
    progressEnd();
    if (!done)
        return false;
    // The node table is not needed any more: free it before the vertices grow.
    decltype(collected.vertexOfNode)().swap(collected.vertexOfNode);
    const long dropped = buildRoadMap(collected.network, map);
    if (dropped > 0)
        std::fprintf(stderr, "vialoom: %s: warning: dropped %ld links at nodes with more than %d\n", path.c_str(),
                     dropped, kMaxLinks);
    if (collected.pairsWithoutLocation > 0)
        std::fprintf(stderr, "vialoom: %s: warning: dropped %ld links at nodes without a location\n", path.c_str(),
                     collected.pairsWithoutLocation);
    return true;
}
