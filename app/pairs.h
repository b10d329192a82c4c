// "vialoom route MAPFILE --pairs FILE": many routes on one map, read and
// prepared once. FILE holds one pair a line, "FROM TO", two vertex indices
// apart by spaces or tabs; blank lines and lines whose first word starts with
// '#' are skipped.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "files/line_source.h"
#include "route/search.h"

struct RoutePair {
    int from = 0;
    int to = 0;
    long line = 0; // where it stood in the file
};

// Reads every pair of source (lines of the file called name) for a map of
// vertexCount vertices into pairs. False with error, one line "NAME:LINE:
// what", at the first line that is not a pair of indices below vertexCount
// (or "NAME: cannot read: REASON" when reading fails); pairs then holds those
// before it.
bool readPairs(LineSource& source, const std::string& name, std::size_t vertexCount, std::vector<RoutePair>& pairs,
               std::string& error);

// The line printed for one pair: "FROM TO COST HOPS MICROSECONDS", cost the
// text route prints (a derived cost as %.9g of its float, a given one
// exactly), "-" for COST and HOPS when there is no route.
std::string pairLine(const RoutePair& pair, bool found, const std::string& cost, int hops, double microseconds);

// Reads the map and every pair before searching any (so a bad line prints no
// route at all: "vialoom: FILE:LINE: what", 2), prepares the search once,
// then prints one pairLine a pair. 0 when every pair has a route, 1 when
// some has none, 2 when a file cannot be read or the search cannot search
// the map.
int runPairs(const std::string& mapPath, const std::string& pairsPath, const SearchChoice& choice, std::FILE* out,
             std::FILE* err);
