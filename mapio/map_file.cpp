#include "mapio/map_file.h"

#include <new>

#include "files/error_text.h"
#include "files/file_names.h"
#include "mapio/dimacs.h"
#include "mapio/movingai.h"
#include "mapio/osm.h"
#include "mapio/vmap.h"

static bool costsAsked = false;
static OsmCosts askedCosts = OsmCosts::Distance;

void askMapCosts(bool asked, OsmCosts costs)
{
    costsAsked = asked;
    askedCosts = costs;
}

MapFormat mapFormatOf(const std::string& path)
{
    if (hasEnding(path, ".vmap"))
        return MapFormat::Vmap;
    if (hasEnding(path, ".map"))
        return MapFormat::MovingAi;
    if (hasEnding(path, ".osm") || hasEnding(path, ".osm.pbf") || hasEnding(path, ".osm.bz2"))
        return MapFormat::Osm;
    if (hasEnding(path, ".gr"))
        return MapFormat::Dimacs;
    return MapFormat::Unknown;
}

static bool readAnyMap(const std::string& path, Scene& read, std::string& error)
{
    bool done = false;
    const MapFormat format = mapFormatOf(path);
    if (costsAsked && format != MapFormat::Osm && format != MapFormat::Unknown) {
        error = path + ": --costs applies to OpenStreetMap maps only";
        return false;
    }
    switch (format) {
    case MapFormat::Vmap:
        done = readVmapFile(path, read, error);
        break;
    case MapFormat::MovingAi:
        done = readMovingAiFile(path, read, error, nullptr);
        break;
    case MapFormat::Osm:
        done = readOsmFile(path, read, error, askedCosts);
        break;
    case MapFormat::Dimacs:
        done = readDimacsFile(path, read, error);
        break;
    case MapFormat::Unknown:
        error = path + ": unknown map format (read are .vmap, .map, .osm, .osm.pbf, .osm.bz2, .gr)";
        break;
    }
    return done;
}

bool readMapFile(const std::string& path, Scene& map, std::string& error)
{
    Scene read;
    bool done = false;
    try {
        done = readAnyMap(path, read, error);
    } catch (const std::bad_alloc&) {
        error = outOfMemoryError(path);
    }
    if (done)
        map = std::move(read);
    return done;
}

bool writeMapFile(const std::string& path, const Scene& map, std::string& error)
{
    return writeVmapFile(path, map, error);
}
