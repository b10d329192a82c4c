#include "graph/history.h"

#include <cstring>
#include <deque>
#include <utility>
#include <vector>

#include "graph/scene.h"

// The deque's own bookkeeping per step, about.
constexpr std::size_t kStepOverhead = 16;

// Vertices are compared byte for byte, which is exact only without padding.
static_assert(sizeof(Link) == sizeof(int) + sizeof(float));
static_assert(sizeof(Vertex) == 4 * sizeof(float) + kMaxLinks * sizeof(Link) + sizeof(int));

// One step holds the other image of each part it names: the before-image
// while it can be undone, the after-image while it can be redone. Undo and
// redo swap the images with the scene, so a step flips between the two forms.
struct Step {
    unsigned parts = 0;
    std::size_t sceneSize = 0; // vertex count of the scene the step applies to
    std::size_t keptCount = 0; // kEditAppend: vertex count before the append
    std::vector<Vertex> tail;  // kEditAppend: the appended vertices while undone
    int linked[2] = {-1, -1};  // kEditLinks: vertices whose records are held
    Vertex records[2];
    int selections[3] = {-1, -1, -1}; // start, goal, mark
    Predecessors route;               // kEditRoute
    std::vector<Vertex> image;        // kEditEverything: the vertex list
    double metresPerUnit = 0.0;       // kEditEverything: the map's scale
    double cellSize = 0.0;            // kEditEverything: its grid's cell
    CostUnit costUnit = CostUnit::Length; // kEditEverything: what its given costs count
    std::uint64_t stateBefore = 0;
    std::uint64_t stateAfter = 0;
    std::size_t bytes = 0;
};

static std::deque<Step> steps; // oldest first; the first doneCount can be undone
static std::size_t doneCount = 0;
static std::size_t keptBytes = 0;
static Step pending;
static bool editOpen = false;
static std::uint64_t currentState = 0;
static std::uint64_t nextState = 1;

static bool isVertex(int index)
{
    return index >= 0 && index < static_cast<int>(scene.vertices.size());
}

static bool sameVertex(const Vertex& a, const Vertex& b)
{
    return std::memcmp(&a, &b, sizeof(Vertex)) == 0;
}

static bool sameVertices(const std::vector<Vertex>& a, const std::vector<Vertex>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Vertex)) == 0);
}

static bool sameSelections(const int (&selections)[3])
{
    return selections[0] == scene.startVertex && selections[1] == scene.goalVertex &&
           selections[2] == scene.markedVertex;
}

static std::size_t stepBytes(const Step& step)
{
    const std::size_t held = step.tail.capacity() + step.image.capacity();
    return sizeof(Step) + kStepOverhead + held * sizeof(Vertex) +
           step.route.from.capacity() * sizeof(int);
}

static bool linksChanged(const Step& step)
{
    for (int i = 0; i < 2; ++i)
        if (step.linked[i] != -1 && !sameVertex(scene.vertices[step.linked[i]], step.records[i]))
            return true;
    return false;
}

// The parts of the step whose image differs from the scene now.
static unsigned changedParts(const Step& step)
{
    unsigned changed = 0;
    if ((step.parts & kEditAppend) && scene.vertices.size() != step.keptCount)
        changed |= kEditAppend;
    if ((step.parts & kEditLinks) && linksChanged(step))
        changed |= kEditLinks;
    if ((step.parts & kEditSelections) && !sameSelections(step.selections))
        changed |= kEditSelections;
    if ((step.parts & kEditRoute) && !samePredecessors(step.route, scene.cameFrom))
        changed |= kEditRoute;
    if ((step.parts & kEditEverything) &&
        (!sameVertices(step.image, scene.vertices) || step.metresPerUnit != scene.metresPerUnit ||
         step.cellSize != scene.cellSize || step.costUnit != scene.costUnit))
        changed |= kEditEverything;
    return changed;
}

// False when the edit changed the vertex count in a way its parts do not
// allow: the steps kept no longer fit the scene.
static bool stayedInBounds(const Step& step)
{
    if (step.parts & kEditEverything)
        return true;
    if (step.parts & kEditAppend)
        return scene.vertices.size() >= step.keptCount;
    return scene.vertices.size() == step.sceneSize;
}

// The scene was changed behind the history's back: forget the steps, and
// give the scene a new name, since it may differ from any named before.
static void forgetStaleHistory()
{
    clearHistory();
    currentState = nextState++;
}

static void flip(Step& step, bool undo)
{
    if (step.parts & kEditEverything) {
        swapVertexList(step.image);
        std::swap(scene.metresPerUnit, step.metresPerUnit);
        std::swap(scene.cellSize, step.cellSize);
        std::swap(scene.costUnit, step.costUnit);
    }
    if ((step.parts & kEditAppend) && undo)
        cutVerticesFrom(step.keptCount, step.tail);
    else if (step.parts & kEditAppend)
        appendVertices(step.tail);
    if (step.parts & kEditLinks)
        for (int i = 0; i < 2; ++i)
            if (step.linked[i] != -1)
                swapVertexRecord(step.linked[i], step.records[i]);
    if (step.parts & kEditSelections) {
        std::swap(scene.startVertex, step.selections[0]);
        std::swap(scene.goalVertex, step.selections[1]);
        std::swap(scene.markedVertex, step.selections[2]);
    }
    if (step.parts & kEditRoute)
        std::swap(scene.cameFrom, step.route);
    step.sceneSize = scene.vertices.size();
}

// Undoes steps[index] or redoes it; false, forgetting every step, when the
// scene no longer has the shape the step was made on.
static bool flipAt(std::size_t index, bool undo)
{
    Step& step = steps[index];
    if (step.sceneSize != scene.vertices.size()) {
        forgetStaleHistory();
        return false;
    }
    keptBytes -= step.bytes;
    flip(step, undo);
    step.bytes = stepBytes(step);
    keptBytes += step.bytes;
    currentState = undo ? step.stateBefore : step.stateAfter;
    return true;
}

static void dropOldest()
{
    keptBytes -= steps.front().bytes;
    steps.pop_front();
    --doneCount;
}

static void dropRedoSteps()
{
    while (steps.size() > doneCount) {
        keptBytes -= steps.back().bytes;
        steps.pop_back();
    }
}

// The newest step is kept even when it alone is over the bound, so one stray
// generator or load can always be undone; every older step makes room. Room
// for the step is made first: if that fails, step is left whole.
static void keep(Step& step)
{
    dropRedoSteps();
    steps.emplace_back();
    Step& kept = steps.back();
    kept = std::move(step);
    kept.stateBefore = currentState;
    kept.stateAfter = nextState++;
    currentState = kept.stateAfter;
    kept.sceneSize = scene.vertices.size();
    kept.bytes = stepBytes(kept);
    keptBytes += kept.bytes;
    doneCount = steps.size();
    while (keptBytes > kHistoryBytes && steps.size() > 1)
        dropOldest();
}

void beginEdit(unsigned parts, int a, int b)
{
    if (parts & kEditEverything)
        parts = kEditEverything | kEditSelections | kEditRoute;
    // The copies below may run out of memory: the edit opens only once they are made.
    editOpen = false;
    pending = Step{};
    pending.parts = parts;
    pending.sceneSize = scene.vertices.size();
    pending.keptCount = scene.vertices.size();
    if (parts & kEditLinks) {
        pending.linked[0] = isVertex(a) ? a : -1;
        pending.linked[1] = isVertex(b) && b != a ? b : -1;
        for (int i = 0; i < 2; ++i)
            if (pending.linked[i] != -1)
                pending.records[i] = scene.vertices[pending.linked[i]];
    }
    if (parts & kEditSelections) {
        pending.selections[0] = scene.startVertex;
        pending.selections[1] = scene.goalVertex;
        pending.selections[2] = scene.markedVertex;
    }
    if (parts & kEditRoute)
        pending.route = scene.cameFrom;
    if (parts & kEditEverything) {
        pending.image = scene.vertices;
        pending.metresPerUnit = scene.metresPerUnit;
        pending.cellSize = scene.cellSize;
        pending.costUnit = scene.costUnit;
    }
    editOpen = true;
}

static void closeEdit()
{
    editOpen = false;
    pending = Step{};
}

void endEdit()
{
    if (!editOpen)
        return;
    if (!stayedInBounds(pending)) {
        closeEdit();
        forgetStaleHistory();
        return;
    }
    // Parts that did not change are dropped: abandoning the edit after a
    // failed keep still puts back every part that did.
    pending.parts = changedParts(pending);
    if (pending.parts == 0) {
        closeEdit();
        return;
    }
    if (!(pending.parts & kEditRoute))
        pending.route = Predecessors{};
    if (!(pending.parts & kEditEverything))
        std::vector<Vertex>().swap(pending.image);
    if (!(pending.parts & kEditLinks))
        pending.linked[0] = pending.linked[1] = -1;
    keep(pending);
    closeEdit();
}

void abandonEdit()
{
    if (!editOpen)
        return;
    if (stayedInBounds(pending))
        flip(pending, true);
    else
        forgetStaleHistory();
    closeEdit();
}

bool undoEdit()
{
    if (editOpen || doneCount == 0 || !flipAt(doneCount - 1, true))
        return false;
    --doneCount;
    return true;
}

bool redoEdit()
{
    if (editOpen || doneCount == steps.size() || !flipAt(doneCount, false))
        return false;
    ++doneCount;
    return true;
}

void clearHistory()
{
    steps.clear();
    doneCount = 0;
    keptBytes = 0;
}

std::uint64_t sceneState()
{
    return currentState;
}

std::size_t historyBytes()
{
    return keptBytes;
}
