// Reading and writing map files, the format chosen by the file name's ending.
// Every error is one line "FILE:LINE: what is wrong" (":LINE" left out where
// no line applies); the caller puts "vialoom: " before it.
#pragma once

#include <string>

#include "graph/scene.h"
#include "mapio/fit.h"
#include "mapio/osm.h"

enum class MapFormat { Unknown, Vmap, MovingAi, Osm, Dimacs };

// The format a file name asks for: .vmap, .map (Moving AI), .osm, .osm.pbf,
// .osm.bz2, .gr (DIMACS, with its .co beside it); Unknown otherwise.
MapFormat mapFormatOf(const std::string& path);

// Reads a whole map into map, which is replaced only on success. Unknown
// endings are refused with an error naming the endings that are read; what
// is not a regular file, at once; a map too large for memory with
// "PATH: not enough memory to read it".
bool readMapFile(const std::string& path, Scene& map, std::string& error);

// What the command line's --costs asked for, applied by every readMapFile
// from now on: OpenStreetMap maps priced so; any other format refused with
// "PATH: --costs applies to OpenStreetMap maps only". Unasked by default.
void askMapCosts(bool asked, OsmCosts costs);

// Writes map as .vmap, atomically: on failure the old file is untouched and
// error says why.
bool writeMapFile(const std::string& path, const Scene& map, std::string& error);
