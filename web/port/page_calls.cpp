// What the page (web/page.js) calls into the program: handing it a map file,
// the CTRL keys the browser's GLUT drops, the toolbar's keys and taps,
// keeping unsaved work when the tab goes away, the key table for the page's
// list of keys and toolbar, the drawing as share text, and zoom and pan for
// the gestures the browser's GLUT does not pass on (pinch, two-finger drag).
// Start-up itself is app/main.cpp, as on the desktop. Large texts travel as
// files in the page's file system: a string argument would be copied onto
// the small stack.
#include <GL/glut.h>
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <new>
#include <string>

#include "files/atomic_file.h"
#include "files/file_text.h"
#include "mapio/map_file.h"
#include "mapio/vmap.h"
#include "ui/document.h"
#include "ui/input.h"
#include "ui/keys.h"
#include "ui/search_view.h"
#include "ui/share.h"
#include "ui/view.h"
#include "window/callbacks.h"

// Share text a little longer than the longest map, for its settings lines.
constexpr std::uint64_t kMaxShareBytes = kMaxVmapFileBytes + 4096;

static std::string lastError;
static std::string keyTable;

// Returns "" after clearing lastError, else lastError as "vialoom: what",
// also written to stderr.
static const char* reported(bool done, const std::string& what)
{
    lastError = done ? "" : "vialoom: " + what;
    if (!done)
        std::fprintf(stderr, "%s\n", lastError.c_str());
    return lastError.c_str();
}

extern "C" {

// Opens the map file at path (already written into the page's file system)
// as the command line would. Returns "" on success, else the one-line error,
// also written to stderr; a bad file, or one too large for memory, changes
// nothing.
EMSCRIPTEN_KEEPALIVE const char* vialoomOpenMap(const char* path)
{
    Scene map;
    std::string error;
    if (!readMapFile(path, map, error))
        return reported(false, error);
    if (!openDocument(std::move(map), path))
        return reported(false, std::string(path) + ": not enough memory to open it");
    try {
        settleSearchView();
    } catch (const std::bad_alloc&) {
        return reported(false, std::string(path) + ": not enough memory to search it");
    }
    glutPostRedisplay();
    return reported(true, "");
}

// A key the browser's GLUT does not pass on (CTRL+Z, CTRL+Y), given as the
// character a desktop GLUT reports, at window pixel (x, y).
EMSCRIPTEN_KEEPALIVE void vialoomKey(int key, int x, int y)
{
    onKeyboard(static_cast<unsigned char>(key), x, y);
    glutPostRedisplay();
}

// A mouse press at window pixel (x, y) with the modifiers of ui/input.h, as
// the toolbar's tap buttons make a tap on a screen without keys.
EMSCRIPTEN_KEEPALIVE void vialoomClick(int button, int x, int y, int modifiers)
{
    if (handleMouse(button, kButtonDown, x, y, modifiers))
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

// The toolbar as text (see toolbarText in ui/keys.h).
EMSCRIPTEN_KEEPALIVE const char* vialoomToolbar()
{
    keyTable = toolbarText();
    return keyTable.c_str();
}

// Writes the drawing's share text to path. Returns "" or the one-line error.
EMSCRIPTEN_KEEPALIVE const char* vialoomWriteShare(const char* path)
{
    std::string error;
    return reported(writeFileAtomically(path, shareText(), error), error);
}

// Opens the share text in the file at path, all or nothing. Returns "" or
// the one-line error, which names the link rather than the file.
EMSCRIPTEN_KEEPALIVE const char* vialoomOpenShare(const char* path)
{
    std::string text;
    std::string error;
    const bool opened = readWholeFile(path, kMaxShareBytes, text, error) && openShareText(text, error);
    if (opened)
        glutPostRedisplay();
    return reported(opened, "the link's drawing: " + error);
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
