// The roads of an OpenStreetMap file as libosmium reads them: the part of
// mapio/osm.h that runs in a process of its own.
#pragma once

#include <string>

#include "mapio/road_graph.h"

struct OsmRoads {
    RoadNetwork network;           // vertices in first-met order, pairs in way order
    long pairsWithoutLocation = 0; // consecutive nodes skipped: one has no location
};

// Reads the roads of the regular file open on fd, in the format path's
// ending names (mapio/osm.h says which ways count), with a progress line for
// large files. Never throws: a corrupt, truncated or road-less file, or one
// that needs more memory than there is, gives false and error one line
// "PATH:LINE: what" (":LINE" where the XML parser gives one).
bool collectOsmRoads(const std::string& path, int fd, OsmRoads& roads, std::string& error);
