#include "ui/input.h"

#include <algorithm>
#include <cassert>
#include <climits>

#include "graph/history.h"
#include "graph/scene.h"
#include "route/route.h"
#include "ui/brush.h"
#include "ui/keys.h"
#include "ui/search_view.h"
#include "ui/view.h"

// A drag with the middle button pans; where the pointer was last seen.
struct Drag {
    bool active = false;
    int x = 0, y = 0;
};

static Drag drag;

// to - from, held to int's range: a pointer far off the window must not
// overflow the subtraction.
static int pixelsBetween(int from, int to)
{
    const long long difference = static_cast<long long>(to) - from;
    return static_cast<int>(std::clamp<long long>(difference, INT_MIN, INT_MAX));
}

// The vertex nearest the map point under window pixel (x, y).
static int nearestToPointer(int x, int y)
{
    const MapPoint at = screenToMap(static_cast<float>(x), static_cast<float>(y));
    return nearestVertexAt(at.x, at.y);
}

static bool selectNearest(int& selection, int x, int y)
{
    const int nearest = nearestToPointer(x, y);
    if (nearest == -1)
        return false;
    beginEdit(kEditSelections | kEditRoute);
    selection = nearest;
    updateRoute();
    endEdit();
    return true;
}

static bool markNearest(int x, int y)
{
    const int nearest = nearestToPointer(x, y);
    if (nearest == -1)
        return false;
    beginEdit(kEditSelections | kEditLinks, scene.markedVertex, nearest);
    if (scene.markedVertex != -1)
        toggleLink(scene.markedVertex, nearest);
    scene.markedVertex = nearest;
    endEdit();
    return true;
}

static bool handleLeftClick(int x, int y, int modifiers)
{
    if (modifiers & kModifierAlt)
        return selectNearest(scene.startVertex, x, y);
    if (modifiers & kModifierShift)
        return selectNearest(scene.goalVertex, x, y);
    if (modifiers & kModifierCtrl)
        return markNearest(x, y);
    if (beginStroke(x, y))
        return true;
    const MapPoint at = screenToMap(static_cast<float>(x), static_cast<float>(y));
    beginEdit(kEditAppend);
    addVertexAt(at.x, at.y);
    endEdit();
    return true;
}

static void clearMark()
{
    beginEdit(kEditSelections);
    scene.markedVertex = -1;
    endEdit();
}

bool handleMouse(int button, int state, int x, int y, int modifiers)
{
    bool wantsRedraw = true;
    // Any other press or release ends a stroke: one stroke, one undo step.
    endStroke();
    if (state == kButtonDown) {
        switch (button) {
        case kLeftButton:
            wantsRedraw = handleLeftClick(x, y, modifiers);
            break;
        case kRightButton:
            clearMark();
            break;
        case kMiddleButton:
            drag = Drag{true, x, y};
            break;
        case kWheelUp:
        case kWheelDown:
            zoomViewAt(x, y, button == kWheelUp ? kZoomStep : 1.0f / kZoomStep);
            break;
        default:
            break;
        }
    } else if (button == kMiddleButton) {
        drag.active = false;
    }
    settleSearchView();
    assert(sceneIsConsistent(scene));
    return wantsRedraw;
}

bool handleKey(unsigned char key, int x, int y)
{
    bool goOn = true;
    // Undo, saving or a new map would otherwise meet an edit still open.
    endStroke();
    if (helpIsOpen())
        closeHelp();
    else if (const KeyAction action = keyAction(key))
        goOn = action(x, y);
    settleSearchView();
    assert(sceneIsConsistent(scene));
    return goOn;
}

bool handleDrag(int x, int y)
{
    if (continueStroke(x, y))
        return true;
    if (!drag.active)
        return false;
    panView(pixelsBetween(drag.x, x), pixelsBetween(drag.y, y));
    drag.x = x;
    drag.y = y;
    return true;
}

void handleArrow(int arrow)
{
    endStroke();
    const int across = viewWidth() / kArrowSteps, down = viewHeight() / kArrowSteps;
    switch (arrow) {
    case kArrowLeft:
        panView(across, 0);
        break;
    case kArrowRight:
        panView(-across, 0);
        break;
    case kArrowUp:
        panView(0, down);
        break;
    case kArrowDown:
        panView(0, -down);
        break;
    default:
        break;
    }
}
