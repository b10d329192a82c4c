// OpenStreetMap road networks (.osm, .osm.pbf, .osm.bz2), read with libosmium.
#pragma once

#include <string>

#include "graph/scene.h"
#include "mapio/fit.h"

// Every way with a highway tag a person can travel (all but highway=proposed,
// construction, platform, raceway, and none tagged area=yes) adds its nodes as
// vertices and links its consecutive nodes both ways (one-way rules are
// ignored). A node shared by ways is one vertex. Vertices come in the order
// their nodes are first met, ways in file order and nodes in way order; links
// in the order of the ways' consecutive pairs. Projection, fit, costs and
// metresPerUnit as in mapio/road_graph.h. Shows a progress line for large
// files. Warns on stderr, one line each, when nodes with 16 links had to drop
// some, and when pairs were skipped because a node has no location in the
// file. libosmium runs in a child process, which alone ends should it crash.
// On any fault (not a regular file, unreadable, corrupt or truncated file, no
// roads, not enough memory) map is untouched and error holds one line
// "FILE:LINE: what" (":LINE" where the XML parser gives one).
//
// Link costs (costUnit Metres or Seconds): each segment's great-circle length
// in metres (sphereMetres, at least 1 cm), or for Time that over the way's
// speed in seconds: its maxspeed in km/h (or "N mph"), else the README's
// speed for its highway class. Where two ways join the same nodes, the
// cheaper segment is kept.
enum class OsmCosts { Distance, Time };
bool readOsmFile(const std::string& path, Scene& map, std::string& error, OsmCosts costs = OsmCosts::Distance);
