// The fully linked lattices the searches are timed on.
#pragma once

#include <vector>

#include "graph/scene.h"

constexpr int kLatticeSide = 40; // the program's own lattice size
constexpr int kLatticeSpacing = 15;
constexpr int kLatticeCorner = 0;
constexpr int kLatticeFarCorner = kLatticeSide * kLatticeSide - 1;
constexpr int kIsolatedVertex = kLatticeSide * kLatticeSide; // appended after the lattice

// side x side vertices 15 pixels apart with all eight neighbour links, plus
// one vertex that no link reaches, 100 pixels right of the lattice (at
// (700, 500) for side 40). Built once per side through the scene's own
// addVertex and toggleLink; the scene itself is left empty afterwards.
const std::vector<Vertex>& fullLattice(int side);
// The 40 x 40 one.
const std::vector<Vertex>& fullLattice();

// The corner opposite kLatticeCorner, and the unreachable vertex.
int latticeFarCorner(int side);
int latticeIsolatedVertex(int side);
