#include "ui/keys.h"

#include <cstddef>
#include <cstring>

#include "graph/history.h"
#include "mapgen/mapgen.h"
#include "route/route.h"
#include "ui/document.h"
#include "ui/search_view.h"
#include "ui/status.h"

constexpr std::size_t kKeysColumns = 14;

// A generator replaces the whole scene: one step, so undo brings it all back.
static bool generateScene(void (*generate)())
{
    beginEdit(kEditEverything);
    generate();
    endEdit();
    return true;
}

static bool randomMap(int, int)
{
    return generateScene(generateRandomMap);
}

static bool latticeMap(int, int)
{
    return generateScene(generateGridMap);
}

static bool randomRoute(int, int)
{
    beginEdit(kEditSelections | kEditRoute);
    if (pickRandomEnds())
        updateRoute();
    endEdit();
    return true;
}

static bool save(int, int)
{
    saveDocument();
    return true;
}

static bool undo(int, int)
{
    if (!undoEdit())
        showStatus("nothing to undo");
    return true;
}

static bool redo(int, int)
{
    if (!redoEdit())
        showStatus("nothing to redo");
    return true;
}

static bool searchView(int, int)
{
    toggleSearchView();
    return true;
}

static bool nextAlgorithm(int, int)
{
    cycleSearchMode();
    return true;
}

static bool playOrPause(int, int)
{
    toggleReplay();
    return true;
}

static bool stepForward(int, int)
{
    stepReplay(+1);
    return true;
}

static bool stepBack(int, int)
{
    stepReplay(-1);
    return true;
}

static bool faster(int, int)
{
    scaleReplaySpeed(true);
    return true;
}

static bool slower(int, int)
{
    scaleReplaySpeed(false);
    return true;
}

static bool inspect(int x, int y)
{
    inspectAt(x, y);
    return true;
}

static bool exportView(int, int)
{
    exportPicture();
    return true;
}

static bool help(int, int)
{
    openHelp();
    return true;
}

static bool quit(int, int)
{
    return false;
}

// \x1a is CTRL+Z, \x19 CTRL+Y and \x1b ESC, as GLUT reports them.
const KeyRow kKeyRows[] = {
    {"Keys (a letter and its capital do the same)"},
    {"1", "generate a random map", {{"1", randomMap}}},
    {"2", "generate a 40 x 40 lattice map", {{"2", latticeMap}}},
    {"f", "route between random vertices", {{"fF", randomRoute}}},
    {"s", "save the map", {{"sS", save}}},
    {"u, CTRL+Z", "undo", {{"uU\x1a", undo}}},
    {"r, CTRL+Y", "redo", {{"rR\x19", redo}}},
    {"v", "search view: explored and waiting vertices, stats", {{"vV", searchView}}},
    {"m", "next algorithm: A*, Dijkstra, greedy best-first", {{"mM", nextAlgorithm}}},
    {"space", "play or pause the replay of the last search", {{" ", playOrPause}}},
    {".  ,", "replay one expansion forward, back", {{".", stepForward}, {",", stepBack}}},
    {"+  -", "replay twice as fast, half as fast", {{"+", faster}, {"-", slower}}},
    {"i", "inspect the vertex nearest the pointer", {{"iI", inspect}}},
    {"e", "export the view as an SVG picture", {{"eE", exportView}}},
    {"h, ?", "this help; any key closes it", {{"hH?", help}}},
    {"q, ESC", "quit (unsaved work is kept)", {{"qQ\x1b", quit}}},
    {"Mouse"},
    {"click", "add a vertex"},
    {"right click", "clear the mark"},
    {"CTRL+click", "mark the nearest vertex; link it to the previous mark"},
    {"SHIFT+click", "make the nearest vertex the goal"},
    {"ALT+click", "make the nearest vertex the start"},
};

const int kKeyRowCount = static_cast<int>(sizeof kKeyRows / sizeof kKeyRows[0]);

KeyAction keyAction(unsigned char key)
{
    // strchr would find 0 as every string's end.
    if (key == 0)
        return nullptr;
    for (const KeyRow& row : kKeyRows)
        for (const KeyBinding& binding : row.bindings)
            if (std::strchr(binding.bytes, key) != nullptr)
                return binding.action;
    return nullptr;
}

std::vector<std::string> keyHelpLines()
{
    std::vector<std::string> lines;
    for (const KeyRow& row : kKeyRows) {
        std::string line = row.does == nullptr ? "" : "  ";
        line += row.shown;
        if (row.does != nullptr) {
            const std::size_t width = 2 + kKeysColumns;
            line.append(line.size() < width ? width - line.size() : 1, ' ');
            line += row.does;
        }
        lines.push_back(line);
    }
    return lines;
}

std::string keyTableText()
{
    std::string text;
    for (const KeyRow& row : kKeyRows) {
        text += row.shown;
        if (row.does != nullptr)
            text += std::string("\t") + row.does;
        text += '\n';
    }
    return text;
}
