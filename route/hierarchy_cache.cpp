#include "route/hierarchy_cache.h"

#include <limits>
#include <mutex>
#include <new>

// Vertices read for a table's fingerprint: all of a small graph's, an even
// spread of a large one's.
constexpr std::size_t kFingerprintVertices = 4096;

struct KeptHierarchy {
    Hierarchy hierarchy;
    std::uint64_t revision = 0;
    std::size_t count = 0;
    std::uint64_t fingerprint = 0;
    bool ready = false;
};

std::atomic<int> hierarchyBuildPercent{-1};
static std::mutex keptLock;
static KeptHierarchy kept;
static HierarchyWork keptWork; // used under keptLock

// Tells apart tables of the same revision (maps read outside the scene,
// which all share one), while a copy of a table matches it.
static std::uint64_t fingerprintOf(const std::vector<Vertex>& vertices)
{
    std::uint64_t hash = 1469598103934665603ull ^ vertices.size();
    const auto mix = [&hash](const void* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            hash = (hash ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ull;
    };
    const std::size_t stride = vertices.size() / kFingerprintVertices + 1;
    for (std::size_t v = 0; v < vertices.size(); v += stride) {
        const Vertex& vertex = vertices[v];
        mix(&vertex.x, sizeof vertex.x);
        mix(&vertex.y, sizeof vertex.y);
        mix(&vertex.linkCount, sizeof vertex.linkCount);
        for (int i = 0; i < vertex.linkCount; ++i) {
            mix(&vertex.links[i].to, sizeof vertex.links[i].to);
            mix(&vertex.links[i].cost, sizeof vertex.links[i].cost);
        }
    }
    return hash;
}

struct ProgressRelay {
    const HierarchyOptions* options;
};

static void relayProgress(double fraction, void* context)
{
    hierarchyBuildPercent.store(static_cast<int>(fraction * 100.0));
    const HierarchyOptions& options = *static_cast<ProgressRelay*>(context)->options;
    if (options.progress != nullptr)
        options.progress(fraction, options.context);
}

HierarchyStatus prepareHierarchy(const std::vector<Vertex>& vertices, std::uint64_t revision,
                                 const HierarchyOptions& options, std::string& why)
{
    hierarchyBuildPercent.store(0);
    ProgressRelay relay{&options};
    HierarchyOptions relayed = options;
    relayed.progress = relayProgress;
    relayed.context = &relay;
    HierarchyStatus status = HierarchyStatus::TooLarge;
    try {
        Hierarchy built;
        status = buildHierarchy(costGraphOf(vertices), built, relayed, why);
        if (status == HierarchyStatus::Built) {
            std::lock_guard<std::mutex> hold(keptLock);
            kept.hierarchy = std::move(built);
            kept.revision = revision;
            kept.count = vertices.size();
            kept.fingerprint = fingerprintOf(vertices);
            kept.ready = true;
        }
    } catch (const std::bad_alloc&) {
        why = "memory ran out while building the hierarchy";
        status = HierarchyStatus::TooLarge;
    }
    hierarchyBuildPercent.store(-1);
    return status;
}

static bool keptFor(const std::vector<Vertex>& vertices, std::uint64_t revision)
{
    return kept.ready && kept.revision == revision && kept.count == vertices.size() &&
           kept.fingerprint == fingerprintOf(vertices);
}

bool hierarchyReadyFor(const std::vector<Vertex>& vertices, std::uint64_t revision)
{
    std::lock_guard<std::mutex> hold(keptLock);
    return keptFor(vertices, revision);
}

void forgetHierarchy()
{
    std::lock_guard<std::mutex> hold(keptLock);
    kept = KeptHierarchy{};
    keptWork = HierarchyWork{};
}

std::string hierarchyNote(const std::vector<Vertex>& vertices, std::uint64_t revision)
{
    if (hierarchyReadyFor(vertices, revision))
        return "";
    const int percent = hierarchyBuildPercent.load();
    if (percent >= 0)
        return "building hierarchy " + std::to_string(percent) + " %";
    return "hierarchy stale";
}

static void writeTrace(SearchTrace& t, const HierarchyWork& work, const HierarchyRoute& found)
{
    const std::size_t count = t.reachedAt.size();
    t.gBack.assign(count, std::numeric_limits<double>::infinity());
    t.side.assign(count, 0);
    std::size_t next = 0; // next first reach to list
    for (std::size_t i = 0; i <= work.takenVertex.size(); ++i) {
        for (; next < work.reachedVertex.size() && work.reachedStep[next] <= static_cast<int>(i); ++next) {
            const int v = work.reachedVertex[next];
            if (t.reachedAt[v] >= 0)
                continue;
            t.reachedAt[v] = static_cast<int>(i);
            t.side[v] = work.reachedSide[next];
            t.h[v] = 0.0f;
        }
        if (i == work.takenVertex.size())
            break;
        const int v = work.takenVertex[i];
        if (t.expandedAt[v] < 0)
            t.expandedAt[v] = static_cast<int>(i);
        t.expanded.push_back(v);
        t.expandedSide.push_back(work.takenSide[i]);
    }
    // Costs as the other searches leave them: in double where costs are
    // given, else rounded to float.
    const auto kept = [&t](double cost) { return t.givenCosts ? cost : static_cast<float>(cost); };
    for (int v : work.touched) {
        t.g[v] = kept(work.cost[0][v]);
        t.gBack[v] = kept(work.cost[1][v]);
        t.parent[v] = work.parent[0][v];
    }
    t.meeting = found.meeting;
    t.found = found.found;
    if (!found.found)
        return;
    // Along the route, the graph's own vertices and their cost from the
    // start summed forwards, in float as routeCost sums derived costs.
    const std::vector<int>& route = found.route;
    t.g[route[0]] = 0.0;
    t.parent[route[0]] = -1;
    for (std::size_t i = 1; i < route.size(); ++i) {
        t.parent[route[i]] = route[i - 1];
        t.g[route[i]] = t.givenCosts ? t.g[route[i - 1]] + found.steps[i - 1]
                                     : static_cast<float>(found.steps[i - 1]) + static_cast<float>(t.g[route[i - 1]]);
    }
}

void hierarchySearch(SearchTrace& t, const std::vector<Vertex>& vertices)
{
    std::lock_guard<std::mutex> hold(keptLock);
    if (!keptFor(vertices, graphRevision()))
        return;
    keptWork.record = true;
    const HierarchyRoute found = hierarchyQuery(kept.hierarchy, keptWork, t.start, t.goal);
    writeTrace(t, keptWork, found);
}
