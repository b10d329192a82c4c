#include "ui/input.h"

#include <cassert>

#include "graph/history.h"
#include "graph/scene.h"
#include "route/route.h"
#include "ui/keys.h"
#include "ui/search_view.h"

static bool selectNearest(int& selection, int x, int y)
{
    const int nearest = nearestVertex(x, y);
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
    const int nearest = nearestVertex(x, y);
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
    beginEdit(kEditAppend);
    addVertex(x, y);
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
    if (state == kButtonDown) {
        switch (button) {
        case kLeftButton:
            wantsRedraw = handleLeftClick(x, y, modifiers);
            break;
        case kRightButton:
            clearMark();
            break;
        default:
            break;
        }
    }
    settleSearchView();
    assert(sceneIsConsistent(scene));
    return wantsRedraw;
}

bool handleKey(unsigned char key, int x, int y)
{
    bool goOn = true;
    if (helpIsOpen())
        closeHelp();
    else if (const KeyAction action = keyAction(key))
        goOn = action(x, y);
    settleSearchView();
    assert(sceneIsConsistent(scene));
    return goOn;
}
