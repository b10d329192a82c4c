#include "mapio/osm.h"

bool readOsmFile(const std::string& path, MapData&, std::string& error)
{
    error = path + ": OpenStreetMap files not read yet";
    return false;
}
