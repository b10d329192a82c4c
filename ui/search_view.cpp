#include "ui/search_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "graph/costs.h"
#include "graph/scene.h"
#include "route/prepared.h"
#include "route/route.h"
#include "route/route_walk.h"
#include "route/search_names.h"
#include "route/weighted.h"
#include "ui/compare_table.h"
#include "ui/document.h"
#include "ui/hierarchy_build.h"
#include "ui/keys.h"
#include "ui/picture.h"
#include "ui/replay.h"
#include "ui/search_steps.h"
#include "ui/stats_text.h"
#include "ui/status.h"
#include "ui/svg_picture.h"
#include "ui/view.h"

// How often the picture is redrawn while a hierarchy is built in the background.
constexpr double kHierarchyPollSeconds = 0.25;

// Which graph and which search the view last saw; when either moves on, the
// replay and the inspect panel end.
struct Seen {
    std::uint64_t revision = 0;
    std::uint64_t generation = 0;
};

// The stats panel's lines, with the independent Dijkstra check behind them,
// for the graph and the search they were made for.
struct StatsLines {
    std::uint64_t revision = 0;
    std::uint64_t generation = 0;
    bool known = false;
    std::vector<std::string> lines;
};

// What a search of the laboratory's (the right half, the b table) was run
// for; when any of it moves on, it runs again.
struct LabKey {
    std::uint64_t revision = 0;
    int start = -1, goal = -1;
    SearchMode mode = SearchMode::AStar;
    Heuristic heuristic = Heuristic::Euclidean;
    float weight = 0.0f;
    bool known = false;
};

static bool viewOn = false;
static bool splitOn = false;
static bool tableOn = false;
static SearchMode rightMode = SearchMode::Dijkstra;
static SearchTrace rightSearch;
static std::vector<std::string> rightStats;
static LabKey rightKey;
static std::vector<std::string> tableLines;
static LabKey tableKey;
static bool helpOpen = false;
static int inspected = -1;
static Replay replay;
static Seen seen;
static StatsLines stats;

static const SearchTrace* shownTrace()
{
    return lastSearchApplies() ? &lastSearch : nullptr;
}

static bool statsAreCurrent()
{
    return stats.known && stats.revision == graphRevision() && stats.generation == lastSearch.generation;
}

static bool rightShown()
{
    return splitOn && rightKey.known && !rightSearch.reachedAt.empty();
}

// Side by side, the replay runs until the longer search has played.
static int stepsOf(const SearchTrace* trace)
{
    const int own = trace == nullptr ? 0 : stepCount(*trace);
    return rightShown() ? std::max(own, stepCount(rightSearch)) : own;
}

static bool sameKey(const LabKey& a, const LabKey& b)
{
    return a.revision == b.revision && a.start == b.start && a.goal == b.goal && a.mode == b.mode &&
           a.heuristic == b.heuristic && a.weight == b.weight && a.known == b.known;
}

static LabKey labKeyFor(SearchMode mode)
{
    LabKey key;
    key.revision = graphRevision();
    key.start = scene.startVertex;
    key.goal = scene.goalVertex;
    key.mode = mode;
    key.heuristic = searchHeuristic;
    key.weight = searchWeight;
    key.known = scene.startVertex != -1 && scene.goalVertex != -1;
    return key;
}

// The right half's search and the b table, run from the input path only.
static void settleLaboratory()
{
    if (splitOn && !sameKey(labKeyFor(rightMode), rightKey)) {
        rightKey = labKeyFor(rightMode);
        clearTrace(rightSearch);
        if (rightKey.known) {
            Predecessors ownTable;
            searchRouteWith(ownTable, scene.vertices, scene.startVertex, scene.goalVertex,
                            SearchChoice{rightMode, searchHeuristic, searchWeight}, &rightSearch, sceneCostModel());
            rightStats = statsLines(rightSearch, scene, checkWithDijkstra(scene.vertices, rightSearch));
        }
        endReplay(replay);
    }
    if (tableOn && !sameKey(labKeyFor(searchMode), tableKey)) {
        tableKey = labKeyFor(searchMode);
        tableLines = {"every algorithm: no route to compare - ALT+click a start, SHIFT+click a goal"};
        if (tableKey.known) {
            tableLines = compareLines(compareSearches(scene.vertices, scene.startVertex, scene.goalVertex,
                                                      SearchChoice{searchMode, searchHeuristic, searchWeight}),
                                      scene);
            tableLines.insert(tableLines.begin(), "every algorithm from " + std::to_string(scene.startVertex) +
                                                      " to " + std::to_string(scene.goalVertex) + ":");
        }
    }
}

// The right half as a picture of its own, at the left half's step (or its own end).
static void addRightHalf(SearchPicture& picture, double now)
{
    picture.split = true;
    SearchPicture right;
    if (rightShown()) {
        const int total = stepsOf(&lastSearch);
        right.layer = true;
        right.trace = &rightSearch;
        right.step = std::min(replayStepAt(replay, total, now), stepCount(rightSearch));
        std::vector<std::string> lines = rightStats;
        if (replayShowing(replay, total, now)) {
            right.current = vertexExpandedAt(rightSearch, right.step);
            right.routeToCurrent = routeTo(rightSearch, right.current);
            lines.push_back(replayLine(right.step, stepCount(rightSearch), replay.speed, replay.playing));
        }
        right.panels.push_back(panelAt(std::move(lines), kPanelMargin, kPanelMargin));
        picture.rightRoute = traceRoute(rightSearch);
    } else {
        right.panels.push_back(panelAt({noSearchLine(rightMode)}, kPanelMargin, kPanelMargin));
    }
    picture.right.push_back(std::move(right));
}

static void addTablePanel(SearchPicture& picture)
{
    float top = kPanelMargin;
    if (!picture.panels.empty())
        top = picture.panels.back().y + picture.panels.back().height + kPanelMargin;
    picture.panels.push_back(panelAt(tableLines, kPanelMargin, top));
}

// The replay keys need a search to play; they say so when there is none.
static const SearchTrace* traceToReplay()
{
    settleSearchView();
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
    const int total = stepsOf(trace);
    // Drawing never searches: until the input path has checked this search,
    // its line stands alone.
    std::vector<std::string> lines =
        statsAreCurrent() ? stats.lines : std::vector<std::string>{searchLine(*trace, scene)};
    picture.layer = true;
    picture.trace = trace;
    picture.step = std::min(replayStepAt(replay, total, now), stepCount(*trace));
    if (replayShowing(replay, total, now)) {
        picture.current = vertexExpandedAt(*trace, picture.step);
        picture.routeToCurrent = routeTo(*trace, picture.current);
        lines.push_back(replayLine(picture.step, total, replay.speed, replay.playing));
    }
    picture.panels.push_back(panelAt(std::move(lines), kPanelMargin, kPanelMargin));
}

static void addInspectPanel(SearchPicture& picture)
{
    if (inspected < 0 || inspected >= static_cast<int>(scene.vertices.size()))
        return;
    float top = kPanelMargin;
    if (!picture.panels.empty())
        top = picture.panels.back().y + picture.panels.back().height + kPanelMargin;
    picture.panels.push_back(panelAt(inspectLines(scene.vertices, inspected, shownTrace()), kPanelMargin, top));
}

static SvgScene sceneOf(const SearchPicture& picture)
{
    SvgScene svg;
    const ViewTransform view = currentView();
    svg.left = view.left;
    svg.top = view.top;
    svg.width = viewWidth() / static_cast<double>(view.scale);
    svg.height = viewHeight() / static_cast<double>(view.scale);
    svg.pixelsPerUnit = view.scale;
    svg.panelsFromCorner = true;
    svg.vertices = &scene.vertices;
    svg.start = scene.startVertex;
    svg.goal = scene.goalVertex;
    svg.marked = scene.markedVertex;
    svg.route = currentRoute();
    if (picture.layer) {
        StepSets sets = setsAtStep(*picture.trace, picture.step);
        StepSets back = takeBackHalf(*picture.trace, sets);
        svg.backExpanded = std::move(back.expanded);
        svg.backWaiting = std::move(back.waiting);
        if (picture.step >= stepCount(*picture.trace))
            svg.meeting = picture.trace->meeting;
        svg.expanded = std::move(sets.expanded);
        svg.waiting = std::move(sets.waiting);
    }
    svg.current = picture.current;
    svg.routeToCurrent = picture.routeToCurrent;
    svg.panels = picture.panels;
    return svg;
}

void toggleSearchView()
{
    viewOn = !viewOn;
    if (!viewOn)
        endReplay(replay);
    settleSearchView();
}

bool searchViewShown()
{
    return viewOn;
}

// What the m key says of the search chosen: its name, and why it cannot
// search this map or what its preparation took.
static std::string searchChosenText(SearchMode mode)
{
    std::string text = std::string("search: ") + searchModeName(mode);
    std::string why;
    if (!searchUsable(scene.vertices, mode, nullptr, why))
        return text + " - " + why;
    const PreparedGraph* prepared = currentScenePreparation();
    if (mode == SearchMode::Alt && prepared != nullptr && prepared->landmarksMade) {
        char took[96];
        std::snprintf(took, sizeof took, " - %d landmarks, chosen in %.2f s", prepared->landmarks.count,
                      prepared->landmarkSeconds);
        text += took;
    }
    return text;
}

void cycleSearchMode()
{
    searchMode = nextSearchMode(searchMode);
    const std::string text = searchChosenText(searchMode); // prepares first, showing progress
    updateRoute();
    settleSearchView();
    showStatus(text);
}

void cycleHeuristic()
{
    searchHeuristic = nextHeuristic(searchHeuristic);
    updateRoute();
    settleSearchView();
    showStatus(std::string("heuristic: ") + heuristicName(searchHeuristic) +
               (usesHeuristic(searchMode) ? "" : std::string(" (") + searchModeName(searchMode) + " uses none)"));
}

void cycleWeight()
{
    searchWeight = nextWeight(searchWeight);
    updateRoute();
    settleSearchView();
    char text[64];
    std::snprintf(text, sizeof text, "weighted A*: w %g", searchWeight);
    showStatus(text);
}

void toggleSplitView()
{
    splitOn = !splitOn;
    if (splitOn)
        viewOn = true;
    endReplay(replay);
    settleSearchView();
    if (splitOn)
        showStatus(std::string("side by side: ") + searchModeName(searchMode) + " | " + searchModeName(rightMode));
}

void cycleRightMode()
{
    rightMode = nextSearchMode(rightMode);
    const std::string text = searchChosenText(rightMode);
    settleSearchView();
    showStatus("right-hand " + text);
}

void toggleCompareTable()
{
    tableOn = !tableOn;
    settleSearchView();
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
    settleSearchView();
    scaleSpeed(replay, faster, stepsOf(shownTrace()), statusClock());
    showStatus("replay speed: " + std::to_string(static_cast<long>(replay.speed)) + " expansions/s");
}

void inspectAt(int x, int y)
{
    settleSearchView();
    const MapPoint at = screenToMap(static_cast<float>(x), static_cast<float>(y));
    const int nearest = nearestVertexAt(at.x, at.y);
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
    settleSearchView();
    const SvgScene svg = sceneOf(searchPictureAt(statusClock(), viewWidth(), viewHeight()));
    const std::string path = picturePath(folderOf(documentFile()), std::time(nullptr));
    std::string error;
    if (writeSvgFile(path, svg, error))
        showStatus("saved picture " + path);
    else
        showStatus(error);
}

void setViewSize(int width, int height)
{
    setViewWindow(width, height);
}

void settleSearchView()
{
    refreshLastSearch();
    const Seen now{graphRevision(), lastSearch.generation};
    if (now.revision != seen.revision || now.generation != seen.generation) {
        seen = now;
        endReplay(replay);
        inspected = -1;
        // A search that could not run says why, whatever brought it on
        // (new ends, an edit that spoilt the grid, a map opened).
        const PreparedGraph* prepared = currentScenePreparation();
        if (lastSearchApplies() && !lastSearch.found && lastSearch.mode == SearchMode::Jps && prepared != nullptr &&
            prepared->gridChecked && !prepared->isGrid)
            showStatus(searchChosenText(SearchMode::Jps));
    }
    settleLaboratory();
    const SearchTrace* trace = shownTrace();
    if (!viewOn || trace == nullptr || statsAreCurrent())
        return;
    Admissibility report;
    if (showsAdmissibility(*trace))
        report = checkAdmissibility(scene.vertices, trace->goal, trace->heuristic, sceneCostModel());
    stats.lines = statsLines(*trace, scene, checkWithDijkstra(scene.vertices, *trace),
                             showsAdmissibility(*trace) ? &report : nullptr);
    stats.revision = now.revision;
    stats.generation = now.generation;
    stats.known = true;
}

SearchPicture searchPictureAt(double now, int width, int height)
{
    SearchPicture picture;
    if (!viewOn && inspected == -1 && !helpOpen && !tableOn)
        return picture;
    if (viewOn)
        addViewPanel(picture, now);
    if (viewOn && splitOn)
        addRightHalf(picture, now);
    addInspectPanel(picture);
    if (tableOn)
        addTablePanel(picture);
    if (helpOpen)
        picture.panels.push_back(centredPanel(keyHelpLines(), width, height));
    if (picture.split) {
        // Each half's text stays whole within its half.
        fitPanels(picture.panels, width / 2);
        fitPanels(picture.right.front().panels, width - width / 2);
    }
    return picture;
}

double secondsUntilPictureChanges(double now)
{
    const SearchTrace* trace = shownTrace();
    if (viewOn && trace != nullptr && replay.playing && replayShowing(replay, stepsOf(trace), now))
        return 0.0;
    // A hierarchy built in the background reports its progress as it goes.
    if (hierarchyBuildRunning())
        return std::min(statusEndsIn(now), kHierarchyPollSeconds);
    return statusEndsIn(now);
}
