#include "ui/picture.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "mapio/fit.h"
#include "route/route_walk.h"
#include "route/search.h"
#include "ui/search_steps.h"
#include "ui/stats_text.h"

static bool checkVertex(const Scene& map, const char* option, int index, std::string& error)
{
    if (index >= -1 && index < static_cast<int>(map.vertices.size()))
        return true;
    error = std::string(option) + " " + std::to_string(index) + ": no such vertex, the map has " +
            std::to_string(map.vertices.size());
    return false;
}

// Large enough for the window and for every vertex of the map, with a margin
// beyond the farthest; the box grows left and up only for negative
// coordinates. In doubles: two floats' difference never overflows one.
static void sizeToFit(SvgScene& scene, const std::vector<Vertex>& vertices)
{
    const double margin = kPanelMargin;
    double left = 0.0, top = 0.0, right = kFitWidth, bottom = kFitHeight;
    for (const Vertex& vertex : vertices) {
        if (!std::isfinite(vertex.x) || !std::isfinite(vertex.y))
            continue;
        left = std::min(left, vertex.x < 0.0f ? vertex.x - margin : 0.0);
        top = std::min(top, vertex.y < 0.0f ? vertex.y - margin : 0.0);
        right = std::max(right, vertex.x + margin);
        bottom = std::max(bottom, vertex.y + margin);
    }
    scene.left = left;
    scene.top = top;
    scene.width = right - left;
    scene.height = bottom - top;
}

std::string picturePath(const std::string& folder, std::time_t when)
{
    return timestampedPath(folder, when, ".svg");
}

// The region alone, as large as fits the window's default size.
static void sizeToRegion(SvgScene& scene, const MapBox& region)
{
    scene.left = region.left;
    scene.top = region.top;
    scene.width = region.right - region.left;
    scene.height = region.bottom - region.top;
    scene.pixelsPerUnit = std::min(kFitWidth / scene.width, kFitHeight / scene.height);
    scene.panelsFromCorner = true;
}

bool exportMapSvg(const Scene& map, int from, int to, bool view, const MapBox* region, const std::string& path,
                  std::string& error, const SearchChoice& choice)
{
    if (!checkVertex(map, "--from", from, error) || !checkVertex(map, "--to", to, error))
        return false;
    SvgScene scene;
    if (region != nullptr)
        sizeToRegion(scene, *region);
    else
        sizeToFit(scene, map.vertices);
    scene.vertices = &map.vertices;
    scene.start = from == -1 ? map.startVertex : from;
    scene.goal = to == -1 ? map.goalVertex : to;
    scene.marked = map.markedVertex;
    if (scene.start != -1 && scene.goal != -1) {
        Predecessors cameFrom;
        SearchTrace trace;
        if (searchRouteWith(cameFrom, map.vertices, scene.start, scene.goal, choice, &trace, costModelOf(map.vertices)))
            scene.route = traceRoute(trace);
        if (view) {
            StepSets sets = setsAtStep(trace, stepCount(trace));
            StepSets back = takeBackHalf(trace, sets);
            scene.backExpanded = std::move(back.expanded);
            scene.backWaiting = std::move(back.waiting);
            scene.meeting = trace.meeting;
            scene.expanded = std::move(sets.expanded);
            scene.waiting = std::move(sets.waiting);
            scene.panels.push_back(panelAt(statsLines(trace, map, checkWithDijkstra(map.vertices, trace)),
                                           kPanelMargin, kPanelMargin));
        }
    } else if (view) {
        scene.panels.push_back(panelAt({noSearchLine(choice.mode)}, kPanelMargin, kPanelMargin));
    }
    return writeSvgFile(path, scene, error);
}
