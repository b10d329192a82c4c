// The program's one pseudo-random generator: the same sequence on every
// platform, so a seed always yields the same maps.
#pragma once

#include <cstdint>

// Restarts the sequence from seed.
void randomSeed(std::uint32_t seed);

// Next value of the sequence, 0 to 32767.
int randomNext();
