/*
 * Mouse
 *   click              add a vertex at the pointer
 *   right click        clear the mark
 *   CTRL+click         mark the nearest vertex, linking it to the previous mark
 *   SHIFT+click        make the nearest vertex the goal
 *   ALT+click          make the nearest vertex the start (ALT wins over SHIFT,
 *                      SHIFT over CTRL)
 * Keys (letters act in either case)
 *   1                  random map
 *   2                  lattice map
 *   f                  route between random vertices
 *   s                  save the map
 *   u, CTRL+Z          undo
 *   r, CTRL+Y          redo
 *   v                  search view: explored and waiting vertices, stats
 *   m                  next algorithm: A*, Dijkstra, greedy best-first
 *   space              play or pause the replay of the last search
 *   . ,                replay one expansion forward, back
 *   + -                replay faster, slower
 *   i                  inspect the vertex nearest the pointer
 *   h, ?               help; any key closes it
 *   e                  export the view as an SVG picture
 *   q, ESC             quit
 */
#include "ui/input.h"

#include <cassert>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "route/route.h"
#include "ui/document.h"
#include "ui/search_view.h"
#include "ui/status.h"

constexpr unsigned char kEscape = 27;
constexpr unsigned char kCtrlY = 25;
constexpr unsigned char kCtrlZ = 26;

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

// A generator replaces the whole scene: one step, so undo brings it all back.
static void replaceScene(void (*generate)())
{
    beginEdit(kEditEverything);
    generate();
    endEdit();
}

static void pickRandomRoute()
{
    beginEdit(kEditSelections | kEditRoute);
    if (pickRandomEnds())
        updateRoute();
    endEdit();
}

static void undoOrRedo(bool undo)
{
    const bool done = undo ? undoEdit() : redoEdit();
    if (!done)
        showStatus(undo ? "nothing to undo" : "nothing to redo");
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
    if (helpIsOpen()) {
        closeHelp();
        return true;
    }
    switch (key) {
    case kEscape:
    case 'q':
    case 'Q':
        return false;
    case '1':
        replaceScene(generateRandomMap);
        break;
    case '2':
        replaceScene(generateGridMap);
        break;
    case 'f':
    case 'F':
        pickRandomRoute();
        break;
    case 's':
    case 'S':
        saveDocument();
        break;
    case 'u':
    case 'U':
    case kCtrlZ:
        undoOrRedo(true);
        break;
    case 'r':
    case 'R':
    case kCtrlY:
        undoOrRedo(false);
        break;
    case 'v':
    case 'V':
        toggleSearchView();
        break;
    case 'm':
    case 'M':
        cycleSearchMode();
        break;
    case ' ':
        toggleReplay();
        break;
    case '.':
        stepReplay(+1);
        break;
    case ',':
        stepReplay(-1);
        break;
    case '+':
        scaleReplaySpeed(true);
        break;
    case '-':
        scaleReplaySpeed(false);
        break;
    case 'i':
    case 'I':
        inspectAt(x, y);
        break;
    case 'h':
    case 'H':
    case '?':
        openHelp();
        break;
    case 'e':
    case 'E':
        exportPicture();
        break;
    default:
        break;
    }
    settleSearchView();
    assert(sceneIsConsistent(scene));
    return true;
}
