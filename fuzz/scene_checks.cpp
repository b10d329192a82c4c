#include "fuzz/scene_checks.h"

#include <vector>

#include "graph/scene.h"
#include "route/route.h"

const char* brokenSceneRule()
{
    if (!sceneIsConsistent())
        return "scene is inconsistent";
    const std::vector<int> route = currentRoute();
    if (route.empty())
        return nullptr;
    if (route.front() != goalVertex)
        return "route does not begin at the goal";
    if (route.back() != startVertex)
        return "route does not reach the start";
    if (route.size() > vertices.size())
        return "route is longer than the graph";
    return nullptr;
}
