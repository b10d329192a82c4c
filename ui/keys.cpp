#include "ui/keys.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "graph/history.h"
#include "mapgen/mapgen.h"
#include "route/route.h"
#include "ui/brush.h"
#include "ui/document.h"
#include "ui/input.h"
#include "ui/search_view.h"
#include "ui/status.h"
#include "ui/view.h"

constexpr std::size_t kKeysColumns = 14;

// A generator replaces the whole scene: one step, so undo brings it all back.
// Should memory run out half way, the drawing is put back as it was.
template <void (*generate)()>
static void generateScene()
{
    try {
        beginEdit(kEditEverything);
        generate();
        endEdit();
    } catch (const std::bad_alloc&) {
        abandonEdit();
        showStatus("not enough memory to generate a map");
    }
}

// The maze and the rooms come with their ends set: the route is searched at once.
static void makeMaze()
{
    generateMaze();
    updateRoute();
    showStatus("maze: one route between any two vertices");
}

static void makeRooms()
{
    generateRooms();
    updateRoute();
    showStatus("rooms and doors: 16 rooms, one door in each wall");
}

static void randomRoute()
{
    beginEdit(kEditSelections | kEditRoute);
    if (pickRandomEnds())
        updateRoute();
    endEdit();
}

constexpr char kNothingToUndo[] = "nothing to undo";
constexpr char kNothingToRedo[] = "nothing to redo";

// Undo or redo, saying so when there is nothing to take back or do again.
template <bool (*step)(), const char* nothing>
static void stepHistory()
{
    if (!step())
        showStatus(nothing);
}

// A command as a key's action, which goes on with the program: the command
// alone, with one fixed argument, or with the pointer's position.
template <auto command>
static bool run(int, int)
{
    command();
    return true;
}

template <auto command, auto argument>
static bool runWith(int, int)
{
    command(argument);
    return true;
}

template <auto command>
static bool runAt(int x, int y)
{
    command(x, y);
    return true;
}

// 0: the whole map as it first opened, saying so as a zoom does.
static void showDefaultView()
{
    resetView();
    showStatus(zoomText(currentView().scale));
}

static bool quit(int, int)
{
    return false;
}

// \x1a is CTRL+Z, \x19 CTRL+Y and \x1b ESC, as GLUT reports them.
const KeyRow kKeyRows[] = {
    {"Keys (a letter and its capital do the same)"},
    {"1", "generate a random map", {{"1", run<generateScene<generateRandomMap>>, "Random map"}}},
    {"2", "generate a 40 x 40 lattice map", {{"2", run<generateScene<generateGridMap>>, "Lattice"}}},
    {"3", "generate a maze, corner to corner", {{"3", run<generateScene<makeMaze>>, "Maze"}}},
    {"4", "generate rooms and doors, corner to corner", {{"4", run<generateScene<makeRooms>>, "Rooms"}}},
    {"f", "route between random vertices", {{"fF", run<randomRoute>, "Random route"}}},
    {"s", "save the map", {{"sS", run<saveDocument>, "Save"}}},
    {"u, CTRL+Z", "undo", {{"uU\x1a", run<stepHistory<undoEdit, kNothingToUndo>>, "Undo"}}},
    {"r, CTRL+Y", "redo", {{"rR\x19", run<stepHistory<redoEdit, kNothingToRedo>>, "Redo"}}},
    {"v", "search view: explored and waiting vertices, stats", {{"vV", run<toggleSearchView>, "Search view"}}},
    {"m", "next algorithm: A*, Dijkstra, greedy, weighted, bidirectional, BFS, JPS, ALT, CH",
     {{"mM", run<cycleSearchMode>, "Algorithm"}}},
    {"k", "next heuristic: Euclidean, octile, Manhattan, Chebyshev, zero", {{"kK", run<cycleHeuristic>, "Heuristic"}}},
    {"w", "next weight of weighted A*: 1.5, 2, 3, 5", {{"wW", run<cycleWeight>, "Weight"}}},
    {"c", "side by side: this search left, another right", {{"cC", run<toggleSplitView>, "Side by side"}}},
    {"n", "next search on the right-hand side", {{"nN", run<cycleRightMode>, "Right search"}}},
    {"b", "table of every algorithm for this start and goal", {{"bB", run<toggleCompareTable>, "All searches"}}},
    {"space", "play or pause the replay of the last search", {{" ", run<toggleReplay>, "Play/pause"}}},
    {".  ,", "replay one expansion forward, back",
     {{".", runWith<stepReplay, +1>, "Step +1"}, {",", runWith<stepReplay, -1>, "Step -1"}}},
    {"+  -", "replay twice as fast, half as fast",
     {{"+", runWith<scaleReplaySpeed, true>, "Faster"}, {"-", runWith<scaleReplaySpeed, false>, "Slower"}}},
    {"t", "next terrain brush: off, sand x2, mud x5, swamp x20, erase x1", {{"tT", run<cycleBrush>, "Brush"}}},
    {"i", "inspect the vertex nearest the pointer", {{"iI", runAt<inspectAt>, "Inspect", true}}},
    {"e", "export the view as an SVG picture", {{"eE", run<exportPicture>, "SVG picture"}}},
    {"0", "default view: the whole map as it opened", {{"0", run<showDefaultView>, "Whole map"}}},
    {"arrows", "move the view an eighth of the window"},
    {"h, ?", "this help; any key closes it", {{"hH?", run<openHelp>, "Help"}}},
    {"q, ESC", "quit (unsaved work is kept)", {{"qQ\x1b", quit}}},
    {"Mouse"},
    {"click", "add a vertex (with a brush on: paint the ground there)"},
    {"drag", "with a brush on: paint the ground under the pointer"},
    {"right click", "clear the mark", {}, {"Unmark", kRightButton, 0, true}},
    {"CTRL+click", "mark the nearest vertex; link it to the previous mark", {}, {"Link", kLeftButton, kModifierCtrl}},
    {"SHIFT+click", "make the nearest vertex the goal", {}, {"Goal", kLeftButton, kModifierShift}},
    {"ALT+click", "make the nearest vertex the start", {}, {"Start", kLeftButton, kModifierAlt}},
    {"wheel", "zoom in or out about the pointer"},
    {"middle drag", "move the view"},
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

std::string toolbarText()
{
    std::string text;
    const auto add = [&text](const char* button, const std::string& does, const char* what) {
        text += std::string(button) + '\t' + does + '\t' + what + '\n';
    };
    for (const KeyRow& row : kKeyRows) {
        for (const KeyBinding& binding : row.bindings)
            if (binding.button != nullptr)
                add(binding.button,
                    (binding.atPointer ? "key-at " : "key ") +
                        std::to_string(static_cast<unsigned char>(binding.bytes[0])),
                    row.does);
        if (row.tap.button != nullptr)
            add(row.tap.button,
                (row.tap.anywhere ? "click " : "tap ") + std::to_string(row.tap.mouseButton) + ' ' +
                    std::to_string(row.tap.modifiers),
                row.does);
    }
    return text;
}
