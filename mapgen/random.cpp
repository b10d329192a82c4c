#include "mapgen/random.h"

static std::uint32_t randomState = 0;

void randomSeed(std::uint32_t seed)
{
    randomState = seed;
}

int randomNext()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}
