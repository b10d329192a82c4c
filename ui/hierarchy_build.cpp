#include "ui/hierarchy_build.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "graph/scene.h"
#include "route/hierarchy_cache.h"
#include "route/route.h"
#include "route/search.h"
#include "ui/status.h"

struct BuildState {
    std::thread* worker = nullptr; // never destroyed while it runs: stopHierarchyBuild joins it
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::uint64_t revision = 0;     // the graph revision being built
    HierarchyStatus status = HierarchyStatus::Built;
    std::string why;
    std::uint64_t failedRevision = 0; // not retried until the graph changes
    bool failed = false;
    int shownPercent = -1;
};

static BuildState build;

static void runBuild(const std::vector<Vertex>& copy, std::uint64_t revision)
{
    HierarchyOptions options;
    options.cancel = &build.cancel;
    std::string why;
    const HierarchyStatus status = prepareHierarchy(copy, revision, options, why);
    build.status = status;
    build.why = why;
    build.finished = true;
}

// Where no thread can start (a browser without threads), the build runs
// here and now, and the next poll finishes it.
static void startBuild()
{
    build.cancel = false;
    build.finished = false;
    build.revision = graphRevision();
    build.shownPercent = -1;
    static bool stopAtExit = (std::atexit(stopHierarchyBuild), true);
    (void)stopAtExit;
    try {
        const std::uint64_t revision = build.revision;
        build.worker = new std::thread([copy = scene.vertices, revision] { runBuild(copy, revision); });
    } catch (const std::system_error&) {
        runBuild(scene.vertices, build.revision);
    }
}

static void joinBuild()
{
    build.worker->join();
    delete build.worker;
    build.worker = nullptr;
}

void pollHierarchyBuild()
{
    if (build.finished) {
        build.finished = false;
        if (build.worker != nullptr)
            joinBuild();
        if (build.status == HierarchyStatus::TooLarge) {
            build.failed = true;
            build.failedRevision = build.revision;
            showStatus("contraction hierarchies: " + build.why);
        } else if (build.status == HierarchyStatus::Built && build.revision == graphRevision() &&
                   searchMode == SearchMode::Ch) {
            updateRoute();
            showStatus("contraction hierarchy ready");
        }
    }
    const bool wanted = searchMode == SearchMode::Ch;
    if (build.worker != nullptr) {
        if (!wanted || build.revision != graphRevision())
            build.cancel = true;
        const int percent = hierarchyBuildPercent.load();
        if (!build.cancel && percent >= 0 && percent != build.shownPercent) {
            build.shownPercent = percent;
            showStatus("building hierarchy " + std::to_string(percent) + " %");
        }
        return;
    }
    if (!wanted || scene.vertices.empty() || hierarchyReadyFor(scene.vertices, graphRevision()) ||
        (build.failed && build.failedRevision == graphRevision()))
        return;
    startBuild();
}

bool hierarchyBuildRunning()
{
    return build.worker != nullptr;
}

void stopHierarchyBuild()
{
    if (build.worker == nullptr)
        return;
    build.cancel = true;
    joinBuild();
}
