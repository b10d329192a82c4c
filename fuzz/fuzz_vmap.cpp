// Feeds raw bytes to the .vmap reader. Either the text is refused with one
// non-empty error line, or the map read is consistent and comes back bit for
// bit through the writer and the reader again. The same bytes read as a file
// (in chunks, not whole) must give the same map or the same error. Version 2's
// link costs, factors and cost unit come back the same way, every cost and
// factor within its range, and a map without given costs is written as
// version 1 unless it has a cell size. Aborts otherwise.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "graph/costs.h"
#include "mapio/vmap.h"

static void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz_vmap: %s\n", what);
    std::abort();
}

static bool sameBits(const void* a, const void* b, std::size_t size)
{
    return std::memcmp(a, b, size) == 0;
}

static bool sameVertex(const Vertex& a, const Vertex& b)
{
    if (!sameBits(&a.x, &b.x, sizeof a.x) || !sameBits(&a.y, &b.y, sizeof a.y) ||
        !sameBits(&a.z, &b.z, sizeof a.z) || !sameBits(&a.factor, &b.factor, sizeof a.factor) ||
        a.linkCount != b.linkCount)
        return false;
    for (int i = 0; i < a.linkCount; ++i)
        if (a.links[i].to != b.links[i].to || !sameBits(&a.links[i].cost, &b.links[i].cost, sizeof(float)))
            return false;
    return true;
}

static bool sameMap(const Scene& a, const Scene& b)
{
    if (a.vertices.size() != b.vertices.size() || a.startVertex != b.startVertex ||
        a.goalVertex != b.goalVertex || a.markedVertex != b.markedVertex ||
        !sameBits(&a.metresPerUnit, &b.metresPerUnit, sizeof(double)) ||
        !sameBits(&a.cellSize, &b.cellSize, sizeof(double)) || a.costUnit != b.costUnit)
        return false;
    for (std::size_t i = 0; i < a.vertices.size(); ++i)
        if (!sameVertex(a.vertices[i], b.vertices[i]))
            return false;
    return true;
}

// Reads text through a file in memory; its name stands as "fuzz.vmap" in error.
static bool readAsFile(const std::string& text, Scene& map, std::string& error)
{
    const int fd = memfd_create("fuzz.vmap", 0);
    check(fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()), "no file in memory");
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const bool read = readVmapFile(path, map, error);
    close(fd);
    if (!read && error.rfind(path, 0) == 0)
        error = "fuzz.vmap" + error.substr(path.size());
    return read;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Scene map;
    std::string error;
    Scene fromFile;
    std::string fileError;
    const bool parsed = parseVmap(text, "fuzz.vmap", map, error);
    check(readAsFile(text, fromFile, fileError) == parsed, "the file and the text are judged apart");
    check(parsed ? sameMap(fromFile, map) : fileError == error, "the file and the text read apart");
    if (!parsed) {
        check(!error.empty() && error.find('\n') == std::string::npos, "a refusal is not one line");
        check(error.rfind("fuzz.vmap:", 0) == 0, "a refusal does not name the file");
        check(map.vertices.empty() && map.startVertex == -1, "a refused text changed the map");
        return 0;
    }
    check(sceneIsConsistent(map), "the map read is inconsistent");
    for (const Vertex& vertex : map.vertices) {
        check(vertex.factor >= kMinFactor && vertex.factor <= kMaxFactor, "a factor is out of range");
        for (int i = 0; i < vertex.linkCount; ++i)
            check(std::isfinite(vertex.links[i].cost) && vertex.links[i].cost >= 0.0f, "a cost is not finite");
    }
    const std::string written = formatVmap(map);
    Scene again;
    check(parseVmap(written, "again.vmap", again, error), "the written text is refused");
    check(sameMap(map, again), "the map changed through a round trip");
    check(formatVmap(again) == written, "the text changed through a round trip");
    const bool plain = !costModelOf(map.vertices).given && map.costUnit == CostUnit::Length && map.cellSize == 0.0;
    check(plain == (written.rfind("vialoom-map 1\n", 0) == 0), "the version written is not the lowest that holds the map");
    return 0;
}
