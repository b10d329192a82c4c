// Pictures to keep: the current view, or a map file drawn without a window,
// written as SVG.
#pragma once

#include <ctime>
#include <string>

#include "files/file_names.h"
#include "graph/scene.h"
#include "graph/vertex_grid.h"
#include "route/search.h"
#include "ui/svg_picture.h"

// folder + "vialoom-YYYYMMDD-HHMMSS.svg" for local time when; when that file
// exists, the first free "-2", "-3", ... before ".svg", so no picture is
// overwritten. An empty folder means the current one.
std::string picturePath(const std::string& folder, std::time_t when);


// vialoom convert MAP OUT.svg: draws map with the route from `from` to `to`
// by the search choice picks (-1 for either: the map's own start or goal;
// no route unless both are set) and, when view is true, the explored and
// waiting vertices and the stats panel, as the window's search view would.
// A vertex that does not exist is refused ("--from 12: no such vertex, the
// map has 10"). With a region (map units, left < right, top < bottom) the
// picture shows that part alone, fitted to 800 x 600 pixels with dots and
// lines their window size; else the whole map. choice is the search drawn.
// Writes path atomically; false with error set on failure.
bool exportMapSvg(const Scene& map, int from, int to, bool view, const MapBox* region, const std::string& path,
                  std::string& error, const SearchChoice& choice = SearchChoice{});
