#include "mapio/map_file.h"

#include "mapio/dimacs.h"
#include "mapio/movingai.h"
#include "mapio/osm.h"
#include "mapio/vmap.h"

static bool endsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

MapFormat mapFormatOf(const std::string& path)
{
    if (endsWith(path, ".vmap"))
        return MapFormat::Vmap;
    if (endsWith(path, ".map"))
        return MapFormat::MovingAi;
    if (endsWith(path, ".osm") || endsWith(path, ".osm.pbf") || endsWith(path, ".osm.bz2"))
        return MapFormat::Osm;
    if (endsWith(path, ".gr"))
        return MapFormat::Dimacs;
    return MapFormat::Unknown;
}

bool readMapFile(const std::string& path, MapData& map, std::string& error)
{
    MapData read;
    bool done = false;
    switch (mapFormatOf(path)) {
    case MapFormat::Vmap:
        done = readVmapFile(path, read, error);
        break;
    case MapFormat::MovingAi:
        done = readMovingAiFile(path, read, error, nullptr);
        break;
    case MapFormat::Osm:
        done = readOsmFile(path, read, error);
        break;
    case MapFormat::Dimacs:
        done = readDimacsFile(path, read, error);
        break;
    case MapFormat::Unknown:
        error = path + ": unknown map format (read are .vmap, .map, .osm, .osm.pbf, .osm.bz2, .gr)";
        break;
    }
    if (done)
        map = std::move(read);
    return done;
}

bool writeMapFile(const std::string& path, const MapData& map, std::string& error)
{
    return writeVmapFile(path, map, error);
}
