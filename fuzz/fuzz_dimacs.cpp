// Feeds DIMACS graph and coordinate texts to the reader and aborts unless it
// either refuses them with one line naming the file, or yields a map every
// rule of the scene holds for, costs being the distances of the positions.
//
// Input: the .gr text, a NUL byte, the .co text (all .gr and an empty .co
// when there is no NUL).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mapio/dimacs.h"

static void failIf(bool broken, const char* what)
{
    if (!broken)
        return;
    std::fprintf(stderr, "fuzz_dimacs: %s\n", what);
    std::abort();
}

// Every cost an arc weight: a whole number from 1 to 2^24.
static bool costsAreWeights(const Scene& map)
{
    for (const Vertex& vertex : map.vertices)
        for (int i = 0; i < vertex.linkCount; ++i) {
            const float cost = vertex.links[i].cost;
            if (!(cost >= 1.0f && cost <= 16777216.0f) || cost != static_cast<float>(static_cast<long>(cost)))
                return false;
        }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view gr = input.substr(0, split);
    const std::string_view co = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    Scene map;
    std::string error;
    long dropped = -1;
    if (!parseDimacs(gr, "f.gr", co, "f.co", map, error, &dropped)) {
        failIf(error.rfind("f.gr:", 0) != 0 && error.rfind("f.co:", 0) != 0, "error names no file");
        failIf(error.find('\n') != std::string::npos, "error spans lines");
        failIf(!map.vertices.empty(), "refused input left vertices");
        return 0;
    }
    failIf(map.vertices.empty(), "accepted graph has no vertices");
    failIf(!sceneIsConsistent(map), "map breaks a scene rule");
    failIf(!costsAreWeights(map), "a cost is not an arc weight");
    failIf(dropped < 0, "dropped count not given");
    failIf(!(map.metresPerUnit > 0.0), "no metres per unit");
    return 0;
}
