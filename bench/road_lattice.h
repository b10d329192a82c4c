// Road-like maps for the preprocessing searches: a jittered lattice of local
// streets with faster arterials on every 16th row and column and faster
// roads still on every 64th, some local streets closed.
#pragma once

#include <vector>

#include "graph/scene.h"

// side x side vertices about 10 units apart, each moved up to 3 either way;
// row and column links costing their length times 1.6 (local), 1.25
// (arterial) or 1 (the fastest), so no link is cheaper than the straight
// line and A*'s estimate stays admissible. One local street in eight is
// closed. The same seed gives the same map.
std::vector<Vertex> roadLattice(int side, unsigned seed);
