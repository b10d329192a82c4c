#include "ui/keys.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "graph/history.h"
#include "mapgen/mapgen.h"
#include "route/route.h"
#include "ui/document.h"
#include "ui/search_view.h"
#include "ui/status.h"

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

static bool quit(int, int)
{
    return false;
}

// \x1a is CTRL+Z, \x19 CTRL+Y and \x1b ESC, as GLUT reports them.
const KeyRow kKeyRows[] = {
    {"Keys (a letter and its capital do the same)"},
    {"1", "generate a random map", {{"1", run<generateScene<generateRandomMap>>}}},
    {"2", "generate a 40 x 40 lattice map", {{"2", run<generateScene<generateGridMap>>}}},
    {"3", "generate a maze, corner to corner", {{"3", run<generateScene<makeMaze>>}}},
    {"4", "generate rooms and doors, corner to corner", {{"4", run<generateScene<makeRooms>>}}},
    {"f", "route between random vertices", {{"fF", run<randomRoute>}}},
    {"s", "save the map", {{"sS", run<saveDocument>}}},
    {"u, CTRL+Z", "undo", {{"uU\x1a", run<stepHistory<undoEdit, kNothingToUndo>>}}},
    {"r, CTRL+Y", "redo", {{"rR\x19", run<stepHistory<redoEdit, kNothingToRedo>>}}},
    {"v", "search view: explored and waiting vertices, stats", {{"vV", run<toggleSearchView>}}},
    {"m", "next algorithm: A*, Dijkstra, greedy, weighted, bidirectional, BFS", {{"mM", run<cycleSearchMode>}}},
    {"k", "next heuristic: Euclidean, octile, Manhattan, Chebyshev, zero", {{"kK", run<cycleHeuristic>}}},
    {"w", "next weight of weighted A*: 1.5, 2, 3, 5", {{"wW", run<cycleWeight>}}},
    {"c", "side by side: this search left, another right", {{"cC", run<toggleSplitView>}}},
    {"n", "next search on the right-hand side", {{"nN", run<cycleRightMode>}}},
    {"b", "table of every algorithm for this start and goal", {{"bB", run<toggleCompareTable>}}},
    {"space", "play or pause the replay of the last search", {{" ", run<toggleReplay>}}},
    {".  ,", "replay one expansion forward, back", {{".", runWith<stepReplay, +1>}, {",", runWith<stepReplay, -1>}}},
    {"+  -", "replay twice as fast, half as fast",
     {{"+", runWith<scaleReplaySpeed, true>}, {"-", runWith<scaleReplaySpeed, false>}}},
    {"i", "inspect the vertex nearest the pointer", {{"iI", runAt<inspectAt>}}},
    {"e", "export the view as an SVG picture", {{"eE", run<exportPicture>}}},
    {"h, ?", "this help; any key closes it", {{"hH?", run<openHelp>}}},
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
