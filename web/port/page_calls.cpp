// What the page (web/page.js) calls into the program: handing it a map file,
// the CTRL keys the browser's GLUT drops, keeping unsaved work when the tab
// goes away, the key table for the page's list of keys, and zoom and pan for
// gestures the browser's GLUT does not pass on (pinch, two-finger drag). Start-up itself
// is app/main.cpp, as on the desktop.
#include <GL/glut.h>
#include <emscripten.h>

#include <cstdio>
#include <new>
#include <string>

#include "mapio/map_file.h"
#include "ui/document.h"
#include "ui/keys.h"
#include "ui/search_view.h"
#include "ui/view.h"
#include "window/callbacks.h"

static std::string lastError;
static std::string keyTable;

extern "C" {

// Opens the map file at path (already written into the page's file system)
// as the command line would. Returns "" on success, else the one-line error,
// also written to stderr; a bad file, or one too large for memory, changes
// nothing.
EMSCRIPTEN_KEEPALIVE const char* vialoomOpenMap(const char* path)
{
    Scene map;
    std::string error;
    if (!readMapFile(path, map, error)) {
        lastError = "vialoom: " + error;
        std::fprintf(stderr, "%s\n", lastError.c_str());
        return lastError.c_str();
    }
    lastError.clear();
    if (!openDocument(std::move(map), path))
        lastError = std::string("vialoom: ") + path + ": not enough memory to open it";
    try {
        settleSearchView();
    } catch (const std::bad_alloc&) {
        lastError = std::string("vialoom: ") + path + ": not enough memory to search it";
    }
    glutPostRedisplay();
    return lastError.c_str();
}

// A key the browser's GLUT does not pass on (CTRL+Z, CTRL+Y), given as the
// character a desktop GLUT reports, at window pixel (x, y).
EMSCRIPTEN_KEEPALIVE void vialoomKey(int key, int x, int y)
{
    onKeyboard(static_cast<unsigned char>(key), x, y);
    glutPostRedisplay();
}

// Keeps unsaved work in the recovery folder, as quitting would.
EMSCRIPTEN_KEEPALIVE void vialoomKeepUnsavedWork()
{
    keepUnsavedWork();
}

// The key table as text: "KEYS\tWHAT\n" a row, a section's title alone on
// its line. The page builds its list of keys from it.
EMSCRIPTEN_KEEPALIVE const char* vialoomKeyTable()
{
    keyTable = keyTableText();
    return keyTable.c_str();
}

// Zooms by factor about canvas pixel (x, y), as the mouse wheel does.
EMSCRIPTEN_KEEPALIVE void vialoomZoomAt(int x, int y, float factor)
{
    zoomViewAt(x, y, factor);
    glutPostRedisplay();
}

// Moves the picture by (dx, dy) canvas pixels, as a middle-button drag does.
EMSCRIPTEN_KEEPALIVE void vialoomPan(int dx, int dy)
{
    panView(dx, dy);
    glutPostRedisplay();
}

// Back to the default view, as the 0 key.
EMSCRIPTEN_KEEPALIVE void vialoomResetView()
{
    resetView();
    glutPostRedisplay();
}

} // extern "C"
