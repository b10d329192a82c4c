// 9th DIMACS Implementation Challenge road graphs: NAME.gr with NAME.co beside it.
//
// NAME.gr: "c" comment lines, one "p sp NODES ARCS" line, then ARCS lines
// "a FROM TO LENGTH" (nodes numbered from 1, LENGTH an integer weight in
// 1..2^24, the file's own unit: metres or tenths of seconds in the challenge). NAME.co: comments, one
// "p aux sp co NODES" line, then a line "v ID X Y" for every node, with X the
// longitude and Y the latitude in millionths of a degree. Blank lines are
// allowed; anything else is refused.
#pragma once

#include <string>
#include <string_view>

#include "graph/scene.h"
#include "mapio/fit.h"

// Reads PATH (a .gr) and the .co beside it, with a progress line for large
// ones. Node ID becomes vertex ID - 1; each link costs its arc's weight
// (costUnit FileUnits; see mapio/road_graph.h for the projection and the
// linking, which also sets metresPerUnit). An arc and its reverse make one
// link, costing the smaller weight; self-loops are dropped. Warns on stderr
// when nodes with 16 links had to drop some, and in one line how many links
// weighed differently each way. On any fault map is untouched and error holds one
// line "FILE:LINE: what" (":LINE" left out where no line applies).
bool readDimacsFile(const std::string& path, Scene& map, std::string& error);

// The same from the two texts in memory, named grName and coName in errors.
// Prints nothing; droppedLinks and unevenPairs, when given, receive the count
// of pairs dropped at full nodes and of links weighed differently each way.
bool parseDimacs(std::string_view grText, const std::string& grName, std::string_view coText,
                 const std::string& coName, Scene& map, std::string& error, long* droppedLinks,
                 long* unevenPairs = nullptr);
