#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/route.h"
#include "route/search.h"
#include "ui/document.h"
#include "ui/input.h"
#include "ui/search_view.h"
#include "ui/status.h"
#include "ui/view.h"

namespace {

constexpr int kAlt = kModifierAlt;
constexpr int kShift = kModifierShift;
constexpr int kCtrl = kModifierCtrl;

// Vertices 0 at (100,100), 1 at (300,100), 2 at (500,100); 0-1 linked.
void makeRow()
{
    clearMap();
    addVertex(100, 100);
    addVertex(300, 100);
    addVertex(500, 100);
    toggleLink(0, 1);
}

bool click(int x, int y, int modifiers = 0)
{
    return handleMouse(kLeftButton, kButtonDown, x, y, modifiers);
}

// Where the pointer is for every key: nearest vertex 1 of the key scene.
constexpr int kPointerX = 210;
constexpr int kPointerY = 95;

// Four vertices in a chain, start 0 and goal 3: a route, a search to replay,
// one step to undo and none to redo, and a document file in folder.
void setUpKeyScene(const std::string& folder)
{
    openDocument({}, folder + "/keys.vmap");
    clearHistory();
    randomSeed(5);
    searchMode = SearchMode::AStar;
    closeHelp();
    for (int x = 100; x <= 400; x += 100)
        click(x, 100);
    for (int x = 100; x <= 400; x += 100)
        click(x, 100, kCtrl);
    click(100, 100, kAlt);
    click(400, 100, kShift);
    zoomViewAt(250, 100, 2.0f); // so that 0 has a view to reset
    showStatus("");
}

// Without what differs from run to run: dates in file names (runs of six or
// more digits) and the search's time ("0.02 ms").
std::string steadyText(const std::string& text)
{
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = at;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end - at >= 6)
            result += '#';
        else
            result.append(text, at, std::max(end, at + 1) - at);
        at = std::max(end, at + 1);
    }
    const std::size_t ms = result.find(" ms");
    if (ms != std::string::npos && ms > 0) {
        const std::size_t number = result.find_last_not_of("0123456789.", ms - 1) + 1;
        result.replace(number, ms - number, "#");
    }
    return result;
}

// Everything a key can change: the scene and its history, the document and
// the files in folder (which are removed), the status line and the view.
std::string observeAndClear(const std::string& folder, bool goOn, double now)
{
    std::ostringstream seen;
    seen << "go on " << goOn << ", help " << helpIsOpen() << ", " << scene.vertices.size() << " scene.vertices, state "
         << sceneState() << ", selected " << scene.startVertex << ' ' << scene.goalVertex << ' ' << scene.markedVertex << ", "
         << searchModeName(searchMode) << ", unsaved " << documentIsUnsaved() << ", files";
    DIR* directory = opendir(folder.c_str());
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name[0] == '.')
            continue;
        seen << ' ' << name.substr(name.rfind('.'));
        unlink((folder + "/" + name).c_str());
    }
    closedir(directory);
    rmdir(folder.c_str());
    std::string status = statusAt(now);
    if (status.find(folder) != std::string::npos)
        status.replace(status.find(folder), folder.size(), ".");
    seen << "\nstatus: " << steadyText(status);
    const ViewTransform view = currentView();
    seen << "\nview " << view.scale << " " << view.left << " " << view.top;
    const SearchPicture picture = searchPictureAt(now, 800, 600);
    seen << "\nlayer " << picture.layer << ", step " << picture.step << ", current " << picture.current
         << ", route " << picture.routeToCurrent.size();
    for (const TextPanel& panel : picture.panels)
        for (const std::string& line : panel.lines)
            seen << "\n| " << steadyText(line);
    return seen.str();
}

// Runs act on the key scene in a child process and returns what it changed:
// every run starts from the same state, whatever the one before did.
std::string inChild(const std::function<bool()>& act)
{
    int ends[2];
    if (pipe(ends) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        char pattern[] = "/tmp/vialoom-keys-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            _exit(1);
        setUpKeyScene(pattern);
        const double now = statusClock();
        const bool goOn = act();
        settleSearchView(); // as every input ends
        const std::string seen = observeAndClear(pattern, goOn, now);
        const bool written = write(ends[1], seen.data(), seen.size()) == static_cast<ssize_t>(seen.size());
        _exit(written ? 0 : 1);
    }
    close(ends[1]);
    std::string seen;
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;)
        seen.append(buffer, static_cast<std::size_t>(got));
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seen : "the child failed";
}

// What each key ran when handleKey was a switch, written out again so that
// no change to the dispatch goes unseen.
struct KeyCommand {
    const char* keys;
    bool (*run)();
};
const KeyCommand kKeyCommands[] = {
    {"\x1bqQ", [] { return false; }},
    {"1", [] { beginEdit(kEditEverything); generateRandomMap(); endEdit(); return true; }},
    {"2", [] { beginEdit(kEditEverything); generateGridMap(); endEdit(); return true; }},
    {"3", [] { beginEdit(kEditEverything); generateMaze(); updateRoute(); showStatus("maze: one route between any two vertices"); endEdit(); return true; }},
    {"4", [] { beginEdit(kEditEverything); generateRooms(); updateRoute(); showStatus("rooms and doors: 16 rooms, one door in each wall"); endEdit(); return true; }},
    {"fF", [] { beginEdit(kEditSelections | kEditRoute); if (pickRandomEnds()) updateRoute(); endEdit(); return true; }},
    {"sS", [] { saveDocument(); return true; }},
    {"uU\x1a", [] { if (!undoEdit()) showStatus("nothing to undo"); return true; }},
    {"rR\x19", [] { if (!redoEdit()) showStatus("nothing to redo"); return true; }},
    {"vV", [] { toggleSearchView(); return true; }},
    {"mM", [] { cycleSearchMode(); return true; }},
    {"kK", [] { cycleHeuristic(); return true; }},
    {"wW", [] { cycleWeight(); return true; }},
    {"cC", [] { toggleSplitView(); return true; }},
    {"nN", [] { cycleRightMode(); return true; }},
    {"bB", [] { toggleCompareTable(); return true; }},
    {" ", [] { toggleReplay(); return true; }},
    {".", [] { stepReplay(+1); return true; }},
    {",", [] { stepReplay(-1); return true; }},
    {"+", [] { scaleReplaySpeed(true); return true; }},
    {"-", [] { scaleReplaySpeed(false); return true; }},
    {"iI", [] { inspectAt(kPointerX, kPointerY); return true; }},
    {"hH?", [] { openHelp(); return true; }},
    {"eE", [] { exportPicture(); return true; }},
    {"0", [] { resetView(); showStatus("zoom 100%"); return true; }},
};

} // namespace

TEST(HandleMouse, ModifiersDecideInOrderAltShiftCtrl)
{
    struct Case {
        int modifiers;
        int start, goal, mark;
    };
    const Case cases[] = {
        {kAlt, 2, -1, -1},
        {kAlt | kShift, 2, -1, -1},
        {kAlt | kShift | kCtrl, 2, -1, -1},
        {kShift, -1, 2, -1},
        {kShift | kCtrl, -1, 2, -1},
        {kCtrl, -1, -1, 2},
    };
    for (const Case& c : cases) {
        makeRow();
        EXPECT_TRUE(click(490, 110, c.modifiers));
        EXPECT_EQ(scene.vertices.size(), 3u) << c.modifiers;
        EXPECT_EQ(scene.startVertex, c.start) << c.modifiers;
        EXPECT_EQ(scene.goalVertex, c.goal) << c.modifiers;
        EXPECT_EQ(scene.markedVertex, c.mark) << c.modifiers;
    }
}

TEST(HandleMouse, ClicksEditTheGraphAndSelectTheRoute)
{
    makeRow();
    EXPECT_TRUE(click(100, 100)); // a plain click adds, even on top of a vertex
    EXPECT_EQ(scene.vertices.size(), 4u);

    click(300, 100, kCtrl); // chain 1, 2, 0: links 1-2 and 2-0, unlinks nothing else
    click(500, 100, kCtrl);
    click(101, 100, kCtrl);
    EXPECT_EQ(scene.vertices[2].linkCount, 2);
    EXPECT_EQ(scene.markedVertex, 0);
    click(100, 100, kCtrl); // the marked vertex itself: no link change
    EXPECT_EQ(scene.vertices[0].linkCount, 2);

    EXPECT_TRUE(handleMouse(kRightButton, kButtonDown, 0, 0, kAlt)); // clears the mark only
    EXPECT_EQ(scene.markedVertex, -1);
    EXPECT_EQ(scene.vertices[0].linkCount, 2);

    click(500, 100, kShift); // goal alone: no search yet
    EXPECT_TRUE(noPredecessors(scene.cameFrom));
    click(100, 100, kAlt); // start: route 0 -> 2 directly
    EXPECT_EQ(cameFromOf(scene.cameFrom, 2), 0);

    const std::size_t count = scene.vertices.size();
    EXPECT_TRUE(handleMouse(kLeftButton, 1, 50, 50, 0)); // a release does nothing
    EXPECT_TRUE(handleMouse(1, kButtonDown, 50, 50, 0)); // nor does the middle button
    EXPECT_EQ(scene.vertices.size(), count);
    EXPECT_TRUE(sceneIsConsistent(scene));
}

TEST(HandleMouse, ModifierClicksOnAnEmptyGraphChangeNothing)
{
    for (int modifiers : {kAlt, kShift, kCtrl}) {
        clearMap();
        EXPECT_FALSE(click(10, 10, modifiers));
        EXPECT_TRUE(scene.vertices.empty());
        EXPECT_EQ(scene.startVertex + scene.goalVertex + scene.markedVertex, -3);
    }
}

TEST(HandleKey, RunsTheCommandsAndOnlyThem)
{
    for (int key : {27, int{'q'}, int{'Q'}})
        EXPECT_FALSE(handleKey(static_cast<unsigned char>(key), 0, 0)) << key;

    clearMap();
    randomSeed(5);
    for (int key : {int{'f'}, int{'F'}, int{'a'}, int{'z'}, int{'9'}, int{' '}, 255})
        EXPECT_TRUE(handleKey(static_cast<unsigned char>(key), 0, 0)) << key;
    EXPECT_TRUE(scene.vertices.empty());
    EXPECT_EQ(scene.startVertex, -1);
    randomSeed(5);
    const int untouched = randomNext();
    randomSeed(5);
    handleKey('x', 0, 0);
    EXPECT_EQ(randomNext(), untouched);

    handleKey('2', 0, 0);
    EXPECT_EQ(scene.vertices.size(), 1600u);
    handleKey('F', 0, 0);
    EXPECT_NE(scene.startVertex, -1);
    handleKey('1', 0, 0);
    EXPECT_EQ(scene.startVertex, -1);
    const std::vector<Vertex> first = scene.vertices;
    handleKey('1', 0, 0); // the generator is not re-seeded: another map
    EXPECT_FALSE(first.size() == scene.vertices.size() && first[1].x == scene.vertices[1].x &&
                 first[1].y == scene.vertices[1].y);
}

TEST(HandleKey, EveryByteRunsItsCommandAndNothingElse)
{
    const std::string nothing = inChild([] { return true; });
    std::set<std::string> distinct{nothing};
    std::map<int, std::string> expected;
    for (const KeyCommand& command : kKeyCommands) {
        const std::string seen = inChild(command.run);
        EXPECT_TRUE(distinct.insert(seen).second) << command.keys << " cannot be told apart:\n" << seen;
        for (const char* key = command.keys; *key != '\0'; ++key)
            expected[static_cast<unsigned char>(*key)] = seen;
    }
    for (int key = 0; key < 256; ++key) {
        const auto found = expected.find(key);
        EXPECT_EQ(inChild([key] { return handleKey(static_cast<unsigned char>(key), kPointerX, kPointerY); }),
                  found == expected.end() ? nothing : found->second)
            << "key " << key;
    }
}

TEST(HandleKey, WhileHelpIsOpenEveryByteOnlyClosesIt)
{
    const std::string closed = inChild([] { return true; });
    for (int key = 0; key < 256; ++key)
        EXPECT_EQ(inChild([key] {
                      openHelp();
                      return handleKey(static_cast<unsigned char>(key), kPointerX, kPointerY);
                  }),
                  closed)
            << "key " << key;
}
