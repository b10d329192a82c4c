// The fully linked lattice the searches are timed on.
#pragma once

#include <vector>

#include "graph/scene.h"

constexpr int kLatticeSide = 40;
constexpr int kLatticeSpacing = 15;
constexpr int kLatticeCorner = 0;
constexpr int kLatticeFarCorner = kLatticeSide * kLatticeSide - 1;
constexpr int kIsolatedVertex = kLatticeSide * kLatticeSide; // appended after the lattice

// 40 x 40 vertices 15 pixels apart with all eight neighbour links, plus one
// vertex at (700, 500) that no link reaches. Built once through the scene's
// own addVertex and toggleLink; the scene itself is left empty afterwards.
const std::vector<Vertex>& fullLattice();
