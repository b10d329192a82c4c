/*
 * Mouse
 *   click              add a vertex at the pointer
 *   right click        clear the mark
 *   CTRL+click         mark the nearest vertex, linking it to the previous mark
 *   SHIFT+click        make the nearest vertex the goal
 *   ALT+click          make the nearest vertex the start (ALT wins over SHIFT,
 *                      SHIFT over CTRL)
 * Keys
 *   1                  random map
 *   2                  lattice map
 *   f, F               route between random vertices
 *   q, Q, ESC          quit
 */
#include "ui/input.h"

#include <cassert>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/route.h"

constexpr unsigned char kEscape = 27;

static bool selectNearest(int& selection, int x, int y)
{
    const int nearest = nearestVertex(x, y);
    if (nearest == -1)
        return false;
    selection = nearest;
    updateRoute();
    return true;
}

static bool markNearest(int x, int y)
{
    const int nearest = nearestVertex(x, y);
    if (nearest == -1)
        return false;
    if (markedVertex != -1)
        toggleLink(markedVertex, nearest);
    markedVertex = nearest;
    return true;
}

static bool handleLeftClick(int x, int y, int modifiers)
{
    if (modifiers & kModifierAlt)
        return selectNearest(startVertex, x, y);
    if (modifiers & kModifierShift)
        return selectNearest(goalVertex, x, y);
    if (modifiers & kModifierCtrl)
        return markNearest(x, y);
    addVertex(x, y);
    return true;
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
            markedVertex = -1;
            break;
        default:
            break;
        }
    }
    assert(sceneIsConsistent());
    return wantsRedraw;
}

bool handleKey(unsigned char key)
{
    switch (key) {
    case kEscape:
    case 'q':
    case 'Q':
        return false;
    case '1':
        generateRandomMap();
        break;
    case '2':
        generateGridMap();
        break;
    case 'f':
    case 'F':
        pickRandomRoute();
        break;
    default:
        break;
    }
    assert(sceneIsConsistent());
    return true;
}
