// 9th DIMACS Implementation Challenge road graphs: NAME.gr with NAME.co beside it.
#pragma once

#include <string>

#include "mapio/map_data.h"

// Reads the graph and its coordinates (the arc lengths are not used: costs are
// straight-line). Sets metresPerUnit.
bool readDimacsFile(const std::string& path, MapData& map, std::string& error);
