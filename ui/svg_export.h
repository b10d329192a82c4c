// SVG pictures of a map: what the window shows, as vector graphics.
#pragma once

#include <string>

#include "mapio/map_data.h"

// Draws map as the window would, with the route from `from` to `to` when both
// are vertices (-1: none) and the explored sets when view is set, and writes
// it to path atomically. False, with a one-line error, on failure.
bool exportMapSvg(const MapData& map, int from, int to, bool view, const std::string& path, std::string& error);
