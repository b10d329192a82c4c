// The browser build carries no OpenStreetMap reader (its library is not built
// for the web): such files are refused in one line and change nothing.
#include "mapio/osm.h"

bool readOsmFile(const std::string& path, Scene&, std::string& error, OsmCosts)
{
    error = path + ": OpenStreetMap files are not read in the browser";
    return false;
}
