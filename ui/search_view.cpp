#include "ui/search_view.h"

#include <cstdint>
#include <ctime>
#include <map>
#include <tuple>

#include "graph/scene.h"
#include "route/route.h"
#include "ui/document.h"
#include "ui/keys.h"
#include "ui/picture.h"
#include "ui/replay.h"
#include "ui/search_steps.h"
#include "ui/stats_text.h"
#include "ui/status.h"
#include "ui/svg_picture.h"

// Everything an edit or a new search changes; when it differs from what the
// view last saw, the replay and the inspect panel end.
struct SceneKey {
    std::uint64_t revision = 0;
    int start = -1, goal = -1, marked = -1;
    std::size_t steps = 0;
    double seconds = -1.0;
    bool found = false;

    bool operator==(const SceneKey& other) const
    {
        return std::tie(revision, start, goal, marked, steps, seconds, found) ==
               std::tie(other.revision, other.start, other.goal, other.marked, other.steps, other.seconds,
                        other.found);
    }
};

static bool viewOn = false;
static bool helpOpen = false;
static int inspected = -1;
static Replay replay;
static SceneKey seenKey;
static SceneKey referenceKey;
static Reference reference;
static bool referenceKnown = false;
static int shownWidth = 800;
static int shownHeight = 600;

static SceneKey currentKey()
{
    return {verticesRevision,        startVertex, goalVertex, markedVertex, lastSearch.expanded.size(),
            lastSearch.seconds, lastSearch.found};
}

// The last search is the one for the start, goal and mode shown, on this graph.
static bool traceApplies()
{
    return startVertex != -1 && goalVertex != -1 && lastSearch.start == startVertex &&
           lastSearch.goal == goalVertex && lastSearch.mode == searchMode && !lastSearch.reachedAt.empty() &&
           lastSearch.reachedAt.size() <= vertices.size();
}

// Undo can bring back a start and goal whose search is not the last one run:
// search again, into a scratch table so the drawn route stays as undo left it.
static void refreshTrace()
{
    if (startVertex == -1 || goalVertex == -1 || traceApplies())
        return;
    std::map<int, int> scratch;
    searchRoute(scratch, vertices, startVertex, goalVertex, searchMode, &lastSearch);
}

static void syncWithScene()
{
    refreshTrace();
    const SceneKey key = currentKey();
    if (key == seenKey)
        return;
    seenKey = key;
    endReplay(replay);
    inspected = -1;
}

static const SearchTrace* shownTrace()
{
    return traceApplies() ? &lastSearch : nullptr;
}

static const Reference& referenceFor(const SearchTrace& trace)
{
    SceneKey key = currentKey();
    key.marked = -1;
    if (!referenceKnown || !(key == referenceKey)) {
        reference = checkWithDijkstra(vertices, trace);
        referenceKey = key;
        referenceKnown = true;
    }
    return reference;
}

static int stepsOf(const SearchTrace* trace)
{
    return trace == nullptr ? 0 : stepCount(*trace);
}

// The replay keys need a search to play; they say so when there is none.
static const SearchTrace* traceToReplay()
{
    syncWithScene();
    const SearchTrace* trace = shownTrace();
    if (trace == nullptr)
        showStatus("no search to replay: ALT+click a start, SHIFT+click a goal");
    else
        viewOn = true;
    return trace;
}

static void addViewPanel(SearchPicture& picture, double now)
{
    const SearchTrace* trace = shownTrace();
    if (trace == nullptr) {
        picture.panels.push_back(panelAt({noSearchLine(searchMode)}, kPanelMargin, kPanelMargin));
        return;
    }
    const int total = stepCount(*trace);
    std::vector<std::string> lines = statsLines(*trace, static_cast<int>(vertices.size()), referenceFor(*trace));
    picture.layer = true;
    picture.trace = trace;
    picture.step = replayStepAt(replay, total, now);
    if (replayShowing(replay, total, now)) {
        picture.current = vertexExpandedAt(*trace, picture.step);
        picture.routeToCurrent = routeTo(*trace, picture.current);
        lines.push_back(replayLine(picture.step, total, replay.speed, replay.playing));
    }
    picture.panels.push_back(panelAt(std::move(lines), kPanelMargin, kPanelMargin));
}

static void addInspectPanel(SearchPicture& picture)
{
    if (inspected < 0 || inspected >= static_cast<int>(vertices.size()))
        return;
    float top = kPanelMargin;
    if (!picture.panels.empty())
        top = picture.panels.back().y + picture.panels.back().height + kPanelMargin;
    picture.panels.push_back(panelAt(inspectLines(vertices, inspected, shownTrace()), kPanelMargin, top));
}

static SvgScene sceneOf(const SearchPicture& picture)
{
    SvgScene scene;
    scene.width = shownWidth;
    scene.height = shownHeight;
    scene.vertices = &vertices;
    scene.start = startVertex;
    scene.goal = goalVertex;
    scene.marked = markedVertex;
    scene.route = currentRoute();
    if (picture.layer) {
        StepSets sets = setsAtStep(*picture.trace, picture.step);
        scene.expanded = std::move(sets.expanded);
        scene.waiting = std::move(sets.waiting);
    }
    scene.current = picture.current;
    scene.routeToCurrent = picture.routeToCurrent;
    scene.panels = picture.panels;
    return scene;
}

void toggleSearchView()
{
    syncWithScene();
    viewOn = !viewOn;
    if (!viewOn)
        endReplay(replay);
}

void cycleSearchMode()
{
    switch (searchMode) {
    case SearchMode::AStar:
        searchMode = SearchMode::Dijkstra;
        break;
    case SearchMode::Dijkstra:
        searchMode = SearchMode::Greedy;
        break;
    case SearchMode::Greedy:
        searchMode = SearchMode::AStar;
        break;
    }
    updateRoute();
    syncWithScene();
    showStatus(std::string("search: ") + searchModeName(searchMode));
}

void toggleReplay()
{
    if (const SearchTrace* trace = traceToReplay())
        playOrPause(replay, stepsOf(trace), statusClock());
}

void stepReplay(int delta)
{
    if (const SearchTrace* trace = traceToReplay())
        stepReplayBy(replay, delta, stepsOf(trace), statusClock());
}

void scaleReplaySpeed(bool faster)
{
    syncWithScene();
    scaleSpeed(replay, faster, stepsOf(shownTrace()), statusClock());
    showStatus("replay speed: " + std::to_string(static_cast<long>(replay.speed)) + " expansions/s");
}

void inspectAt(int x, int y)
{
    syncWithScene();
    const int nearest = nearestVertex(x, y);
    if (nearest == -1)
        showStatus("no vertex to inspect");
    inspected = nearest == inspected ? -1 : nearest;
}

void openHelp()
{
    helpOpen = true;
}

bool helpIsOpen()
{
    return helpOpen;
}

void closeHelp()
{
    helpOpen = false;
}

void exportPicture()
{
    const SvgScene scene = sceneOf(searchPictureAt(statusClock(), shownWidth, shownHeight));
    const std::string path = picturePath(folderOf(documentFile()), std::time(nullptr));
    std::string error;
    if (writeSvgFile(path, scene, error))
        showStatus("saved picture " + path);
    else
        showStatus(error);
}

SearchPicture searchPictureAt(double now, int width, int height)
{
    shownWidth = width;
    shownHeight = height;
    SearchPicture picture;
    if (!viewOn && inspected == -1 && !helpOpen)
        return picture;
    syncWithScene();
    if (viewOn)
        addViewPanel(picture, now);
    addInspectPanel(picture);
    if (helpOpen)
        picture.panels.push_back(centredPanel(keyHelpLines(), width, height));
    return picture;
}
