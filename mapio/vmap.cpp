#include "mapio/vmap.h"

bool parseVmap(std::string_view, const std::string& name, MapData&, std::string& error)
{
    error = name + ": .vmap not read yet";
    return false;
}

std::string formatVmap(const MapData&)
{
    return "";
}

bool readVmapFile(const std::string& path, MapData&, std::string& error)
{
    error = path + ": .vmap not read yet";
    return false;
}

bool writeVmapFile(const std::string& path, const MapData&, std::string& error)
{
    error = path + ": cannot save: not written yet";
    return false;
}
