#include "ui/brush.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "graph/history.h"
#include "graph/scene.h"
#include "graph/vertex_grid.h"
#include "route/route.h"
#include "ui/status.h"
#include "ui/view.h"

// A drag is painted at points this far apart (window pixels), close enough
// that the brush's discs overlap; a move so long that it would take more
// points (far beyond any window) is painted at this many only.
constexpr float kStrokeStep = kBrushRadius / 2.0f;
constexpr float kMostStrokePoints = 1024.0f;

const Brush kBrushes[] = {
    {0.0f, "off"},
    {2.0f, "sand x2"},
    {5.0f, "mud x5"},
    {20.0f, "swamp x20"},
    {1.0f, "plain ground x1 (erase)"},
};
const int kBrushCount = static_cast<int>(sizeof kBrushes / sizeof kBrushes[0]);

// The stroke being painted: where the pointer was last, and whether any
// factor changed yet.
struct Stroke {
    bool open = false;
    bool changed = false;
    float x = 0.0f, y = 0.0f;
};

static int brush = 0;
static Stroke stroke;

void cycleBrush()
{
    endStroke();
    brush = (brush + 1) % kBrushCount;
    showStatus(brushStatus(brush));
}

float brushFactor()
{
    return kBrushes[brush].factor;
}

void resetBrush()
{
    endStroke();
    brush = 0;
}

const char* brushStatus(int index)
{
    static const char* const lines[] = {
        "brush off",
        "brush: sand x2 - drag to paint, t for the next",
        "brush: mud x5 - drag to paint, t for the next",
        "brush: swamp x20 - drag to paint, t for the next",
        "brush: plain ground x1 (erase) - drag to paint, t for the next",
    };
    static_assert(sizeof lines / sizeof lines[0] == sizeof kBrushes / sizeof kBrushes[0]);
    return lines[index];
}

std::vector<int> verticesUnderBrush(float x, float y)
{
    const MapPoint at = screenToMap(x, y);
    const double reach = static_cast<double>(kBrushRadius) / currentView().scale;
    std::vector<int> near;
    verticesInBox(sceneGrid(), MapBox{at.x - reach, at.y - reach, at.x + reach, at.y + reach}, near);
    std::vector<int> covered;
    for (int index : near) {
        const Vertex& vertex = scene.vertices[static_cast<std::size_t>(index)];
        const double dx = static_cast<double>(vertex.x) - at.x, dy = static_cast<double>(vertex.y) - at.y;
        if (dx * dx + dy * dy <= reach * reach)
            covered.push_back(index);
    }
    std::sort(covered.begin(), covered.end());
    return covered;
}

// Paints the brush's factor onto what it covers at window pixel (x, y).
static void paintAt(float x, float y)
{
    const float factor = brushFactor();
    for (int index : verticesUnderBrush(x, y)) {
        if (scene.vertices[static_cast<std::size_t>(index)].factor == factor)
            continue;
        editVertexFactor(index, factor);
        stroke.changed = true;
    }
    stroke.x = x;
    stroke.y = y;
}

// Running out of memory half way takes the whole stroke back.
static void abandonStroke()
{
    abandonEdit();
    stroke = Stroke{};
    showStatus("not enough memory to paint");
}

bool beginStroke(int x, int y)
{
    endStroke();
    if (brushFactor() == 0.0f)
        return false;
    try {
        beginEdit(kEditFactors | kEditRoute);
        stroke = Stroke{true, false, 0.0f, 0.0f};
        paintAt(static_cast<float>(x), static_cast<float>(y));
    } catch (const std::bad_alloc&) {
        abandonStroke();
    }
    return true;
}

bool continueStroke(int x, int y)
{
    if (!stroke.open)
        return false;
    const float fromX = stroke.x, fromY = stroke.y;
    const float dx = static_cast<float>(x) - fromX, dy = static_cast<float>(y) - fromY;
    const float wanted = std::ceil(std::hypot(dx, dy) / kStrokeStep);
    const int steps = static_cast<int>(std::clamp(wanted, 1.0f, kMostStrokePoints));
    try {
        for (int step = 1; step <= steps; ++step) {
            const float part = static_cast<float>(step) / static_cast<float>(steps);
            paintAt(fromX + dx * part, fromY + dy * part);
        }
    } catch (const std::bad_alloc&) {
        abandonStroke();
    }
    return true;
}

void endStroke()
{
    if (!stroke.open)
        return;
    try {
        if (stroke.changed)
            updateRoute();
        endEdit();
    } catch (const std::bad_alloc&) {
        abandonStroke();
    }
    stroke = Stroke{};
}

bool strokeIsOpen()
{
    return stroke.open;
}

int terrainShade(float factor)
{
    if (factor == 1.0f)
        return -1;
    if (factor < 1.0f)
        return 0;
    if (factor <= 2.0f)
        return 1;
    return factor <= 5.0f ? 2 : 3;
}
