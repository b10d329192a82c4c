#include "app/preprocess.h"

#include "files/error_text.h"
#include "files/progress.h"
#include "route/hierarchy_cache.h"

constexpr std::uint64_t kProgressUnits = 1000000;
constexpr std::uint64_t kProgressMinVertices = 50000; // smaller maps take well under a second

static void showProgress(double fraction, void*)
{
    progressUpdate(static_cast<std::uint64_t>(fraction * kProgressUnits));
}

bool preprocessFor(SearchMode mode, const std::vector<Vertex>& vertices, const std::string& name, std::FILE* err)
{
    if (mode != SearchMode::Ch)
        return true;
    progressBeginWork("preprocessing", name, vertices.size() >= kProgressMinVertices ? kProgressUnits : 0, 1);
    HierarchyOptions options;
    options.progress = showProgress;
    std::string why;
    const HierarchyStatus status = prepareHierarchy(vertices, graphRevision(), options, why);
    progressEnd();
    if (status == HierarchyStatus::Built)
        return true;
    std::fprintf(err, "vialoom: %s: %s\n", printableText(name).c_str(), why.c_str());
    return false;
}

void forgetPreprocessing()
{
    forgetHierarchy();
}
