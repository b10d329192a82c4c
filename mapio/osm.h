// OpenStreetMap road networks (.osm, .osm.pbf, .osm.bz2), read with libosmium.
#pragma once

#include <string>

#include "mapio/map_data.h"

// Every travellable highway's nodes become vertices, consecutive nodes linked
// both ways; projected equirectangularly around the centre latitude and fitted
// to the window. Sets metresPerUnit.
bool readOsmFile(const std::string& path, MapData& map, std::string& error);
