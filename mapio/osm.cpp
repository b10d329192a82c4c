// libosmium is read in a child process: when an allocation fails inside it,
// its buffers can be left pointing at freed memory (a failed grow) and a
// thread then crashes the whole process. The child takes the crash, and the
// program says it ran out of memory.
#include "mapio/osm.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <new>
#include <vector>

#include "files/error_text.h"
#include "files/file_text.h"
#include "mapio/osm_roads.h"

// What the child says first: its roads follow, or one error line does.
constexpr char kRoadsFollow = 'R';
constexpr char kErrorFollows = 'E';
// Longer error lines are not believed.
constexpr std::uint64_t kMaxErrorBytes = 1 << 16;

// Set by the child when an allocation failed, so a crash after it is known
// for what it is; shared with the parent.
static volatile std::sig_atomic_t* allocationFailed = nullptr;

static void noteFailedAllocation()
{
    if (allocationFailed != nullptr)
        *allocationFailed = 1;
    throw std::bad_alloc();
}

static bool writeAll(int fd, const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t wrote = write(fd, bytes, size);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        bytes += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return true;
}

static bool readAll(int fd, void* data, std::size_t size)
{
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = read(fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

template <typename Item>
static bool writeItems(int fd, const std::vector<Item>& items)
{
    return writeAll(fd, items.data(), items.size() * sizeof(Item));
}

template <typename Item>
static bool readItems(int fd, std::vector<Item>& items, std::uint64_t count)
{
    items.resize(static_cast<std::size_t>(count));
    return readAll(fd, items.data(), items.size() * sizeof(Item));
}

// In the child: read, then send the roads or the error down the pipe.
static void readInChild(const std::string& path, int fd, int pipe)
{
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none); // a crash here is expected and reported
    rlimit space{};
    // Under a memory limit every thread's first allocation would try, and
    // fail, to reserve an arena of its own, again and again: one is enough.
    if (getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY)
        mallopt(M_ARENA_MAX, 1);
    std::set_new_handler(noteFailedAllocation);
    OsmRoads roads;
    std::string error;
    if (!collectOsmRoads(path, fd, roads, error)) {
        const std::uint64_t length = error.size();
        writeAll(pipe, &kErrorFollows, 1) && writeAll(pipe, &length, sizeof length) &&
            writeAll(pipe, error.data(), error.size());
        return;
    }
    const RoadNetwork& network = roads.network;
    const std::uint64_t counts[3] = {network.lon.size(), network.pairs.size(),
                                     static_cast<std::uint64_t>(roads.pairsWithoutLocation)};
    writeAll(pipe, &kRoadsFollow, 1) && writeAll(pipe, counts, sizeof counts) && writeItems(pipe, network.lon) &&
        writeItems(pipe, network.lat) && writeItems(pipe, network.pairs) && writeItems(pipe, network.speeds);
}

// In the parent: true with the roads the child sent, false with its error,
// or with none when it sent nothing whole. Throws std::bad_alloc when the
// roads do not fit here.
static bool receive(int pipe, OsmRoads& roads, std::string& error)
{
    char kind = 0;
    if (!readAll(pipe, &kind, 1))
        return false;
    if (kind == kErrorFollows) {
        std::uint64_t length = 0;
        std::string said;
        if (readAll(pipe, &length, sizeof length) && length <= kMaxErrorBytes) {
            said.resize(static_cast<std::size_t>(length));
            if (readAll(pipe, &said[0], said.size()))
                error = said;
        }
        return false;
    }
    std::uint64_t counts[3] = {};
    RoadNetwork& network = roads.network;
    if (kind != kRoadsFollow || !readAll(pipe, counts, sizeof counts) ||
        counts[0] > static_cast<std::uint64_t>(kMaxMapVertices) || counts[1] > network.pairs.max_size())
        return false;
    roads.pairsWithoutLocation = static_cast<long>(counts[2]);
    return readItems(pipe, network.lon, counts[0]) && readItems(pipe, network.lat, counts[0]) &&
           readItems(pipe, network.pairs, counts[1]) && readItems(pipe, network.speeds, counts[1]);
}

// Why the child ended without a word.
static std::string childFault(const std::string& path, int status, bool ranOut)
{
    if (ranOut)
        return outOfMemoryError(path);
    if (WIFSIGNALED(status))
        return path + ": bad OpenStreetMap data: the reader stopped on signal " + std::to_string(WTERMSIG(status));
    return path + ": the reader stopped without an answer";
}

// Reads the roads of the file open on fd in a child process.
static bool collectApart(const std::string& path, int fd, OsmRoads& roads, std::string& error)
{
    void* shared = mmap(nullptr, sizeof(std::sig_atomic_t), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    int ends[2];
    if (shared == MAP_FAILED || pipe2(ends, O_CLOEXEC) != 0) {
        error = errno == EMFILE || errno == ENFILE ? path + ": cannot read: " + errorReason(errno)
                                                   : outOfMemoryError(path);
        if (shared != MAP_FAILED)
            munmap(shared, sizeof(std::sig_atomic_t));
        return false;
    }
    allocationFailed = static_cast<volatile std::sig_atomic_t*>(shared);
    *allocationFailed = 0;
    error.clear(); // set again only by what the child says
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        readInChild(path, fd, ends[1]);
        _exit(0);
    }
    close(ends[1]);
    bool received = false;
    bool outOfMemory = child < 0;
    if (child > 0) {
        try {
            received = receive(ends[0], roads, error);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }
    // Closed first, so a child still writing stops.
    close(ends[0]);
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const bool ranOut = *allocationFailed != 0;
    allocationFailed = nullptr;
    munmap(shared, sizeof(std::sig_atomic_t));
    if (outOfMemory)
        error = outOfMemoryError(path);
    else if (!received && error.empty())
        error = childFault(path, status, ranOut);
    return received && !outOfMemory;
}

// A segment between two nodes at one place still costs something.
constexpr double kShortestSegment = 0.01;

static bool collectFile(const std::string& path, OsmRoads& roads, std::string& error)
{
    OpenedFile opened;
    if (!openRegularFile(path, opened)) {
        error = opened.errorNumber != 0 ? path + ": cannot open: " + errorReason(opened.errorNumber)
                                        : path + ": is not a regular file";
        return false;
    }
    const bool done = collectApart(path, opened.fd, roads, error);
    close(opened.fd);
    return done;
}

// Each pair's cost: its length on the sphere in metres, or that over its
// speed in seconds; never below kShortestSegment.
static void priceSegments(RoadNetwork& network, OsmCosts costs)
{
    network.costs.resize(network.pairs.size());
    for (std::size_t i = 0; i < network.pairs.size(); ++i) {
        const auto [a, b] = network.pairs[i];
        double cost = std::max(kShortestSegment, sphereMetres(network.lon[a], network.lat[a], network.lon[b],
                                                                network.lat[b]));
        if (costs == OsmCosts::Time)
            cost = cost / (network.speeds[i] / 3.6);
        network.costs[i] = static_cast<float>(cost);
    }
}

bool readOsmFile(const std::string& path, Scene& map, std::string& error, OsmCosts costs)
{
    long dropped = 0;
    long pairsWithoutLocation = 0;
    try {
        OsmRoads roads;
        if (!collectFile(path, roads, error))
            return false;
        pairsWithoutLocation = roads.pairsWithoutLocation;
        priceSegments(roads.network, costs);
        dropped = buildRoadMap(roads.network, map);
        map.costUnit = costs == OsmCosts::Time ? CostUnit::Seconds : CostUnit::Metres;
    } catch (const std::bad_alloc&) {
        error = outOfMemoryError(path);
        return false;
    }
    if (dropped > 0)
        std::fprintf(stderr, "vialoom: %s: warning: dropped %ld links at nodes with more than %d\n", path.c_str(),
                     dropped, kMaxLinks);
    if (pairsWithoutLocation > 0)
        std::fprintf(stderr, "vialoom: %s: warning: dropped %ld links at nodes without a location\n", path.c_str(),
                     pairsWithoutLocation);
    return true;
}
