// A city-like road network for the preprocessing searches: a jittered
// lattice of slow local streets, every 16th row and column an arterial,
// every 64th a highway and every 256th a motorway, each faster per length,
// with one local street link in ten missing.
#pragma once

#include <vector>

#include "graph/scene.h"

// side x side vertices about 10 units apart, linked both ways to their
// lattice neighbours. A link costs its length times 4 (street), 2
// (arterial), 1.4 (highway) or 1 (motorway), rounded up to a sixteenth, so
// the Euclidean estimate stays admissible and double sums of costs are
// exact. The same seed gives the same network.
std::vector<Vertex> roadNetwork(int side, unsigned seed);
