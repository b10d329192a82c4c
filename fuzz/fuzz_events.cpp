// Turns raw fuzzer bytes into the clicks and keys the window would deliver,
// feeds them to the input handlers and aborts as soon as the scene breaks a
// rule. Quit keys are never fed: they would end the run, not test it; nor are
// the keys that write files.
//
// Input: a 4-byte little-endian generator seed, then events; missing bytes
// read as 0. An opcode's bits 0-2 pick a left press (0-2), a right press (3),
// any button and state as two signed bytes (4), any key byte (5), or "1", "f",
// "F", "2", "u", "r", CTRL+Z, CTRL+Y by the next byte modulo 8 (6-7). Bits 3-5 hold the mouse modifiers,
// bits 6-7 the coordinate range: near the window (a byte per axis), far off it
// (16 bits per axis), or every int, INT_MIN and INT_MAX included (32 bits).
// After the events, every step is undone and redone again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/route.h"
#include "ui/input.h"
#include "ui/view.h"

// Bounds that keep one input fast. Under the sanitizers a search of the
// 1600-vertex lattice and the checks after an event take milliseconds each,
// so an input gets one lattice, and a large graph only a few events and one
// search.
constexpr int kMaxEvents = 64;
constexpr std::size_t kLargeGraph = 200;
constexpr int kMaxLargeEvents = 8;

constexpr unsigned char kEscape = 27;
constexpr unsigned char kCommonKeys[] = {'1', 'f', 'F', '2', 'u', 'r', 26, 25};

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
    int lattices;
    int largeSearches;
};

static std::uint32_t readWord(Input& input, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes && input.offset < input.size; ++i)
        value |= static_cast<std::uint32_t>(input.data[input.offset++]) << (8 * i);
    return value;
}

static int readByte(Input& input)
{
    return static_cast<int>(readWord(input, 1));
}

static int readCoordinate(Input& input, int range, int step, int offset)
{
    if (range == 0)
        return readByte(input) * step - offset;
    if (range == 1)
        return static_cast<std::int16_t>(readWord(input, 2));
    return static_cast<std::int32_t>(readWord(input, 4));
}

static bool searchAllowed(Input& input)
{
    return scene.vertices.size() <= kLargeGraph || input.largeSearches++ == 0;
}

// Each feed function returns false when it skipped the event.
static bool feedKey(Input& input, unsigned char key)
{
    if (key == 'q' || key == 'Q' || key == kEscape)
        return false;
    // Saving and exporting write files: the file tests cover them.
    if (key == 's' || key == 'S' || key == 'e' || key == 'E')
        return false;
    if (key == '2' && input.lattices++ > 0)
        return false;
    if ((key == 'f' || key == 'F') && !searchAllowed(input))
        return false;
    handleKey(key, 0, 0);
    return true;
}

static bool feedMouse(Input& input, int op)
{
    const int kind = op & 7;
    const int modifiers = (op >> 3) & 7;
    int button = kind == 3 ? kRightButton : kLeftButton;
    int state = kButtonDown;
    if (kind == 4) {
        button = static_cast<std::int8_t>(readByte(input));
        state = static_cast<std::int8_t>(readByte(input));
    }
    const int x = readCoordinate(input, op >> 6, 4, 112);
    const int y = readCoordinate(input, op >> 6, 3, 90);
    const bool searches = button == kLeftButton && state == kButtonDown &&
                          (modifiers & (kModifierAlt | kModifierShift)) != 0;
    if (searches && !searchAllowed(input))
        return false;
    handleMouse(button, state, x, y, modifiers);
    return true;
}

static bool feedEvent(Input& input)
{
    const int op = readByte(input);
    if ((op & 7) == 5)
        return feedKey(input, static_cast<unsigned char>(readByte(input)));
    if ((op & 7) >= 6)
        return feedKey(input, kCommonKeys[readByte(input) % 8]);
    return feedMouse(input, op);
}

static void require(bool holds, int event, const char* rule)
{
    if (holds)
        return;
    std::fprintf(stderr, "event %d: %s\n", event, rule);
    std::abort();
}

// What must hold after every event, whatever the events were.
static void checkScene(int event)
{
    require(sceneIsConsistent(scene), event, "scene is inconsistent");
    const std::vector<int> route = currentRoute();
    if (route.empty())
        return;
    require(route.front() == scene.goalVertex, event, "route does not begin at the goal");
    require(route.back() == scene.startVertex, event, "route does not reach the start");
    require(route.size() <= scene.vertices.size(), event, "route is longer than the graph");
}

static bool sceneIs(const std::vector<Vertex>& points, const Predecessors& route,
                    const int (&selections)[3])
{
    const bool samePoints = points.size() == scene.vertices.size() &&
                            (points.empty() || std::memcmp(points.data(), scene.vertices.data(),
                                                           points.size() * sizeof(Vertex)) == 0);
    return samePoints && samePredecessors(route, scene.cameFrom) && selections[0] == scene.startVertex &&
           selections[1] == scene.goalVertex && selections[2] == scene.markedVertex;
}

// Undoing every step must give back the empty scene the input began with, and
// redoing as many the scene it ended with, bit for bit. One input's steps stay
// far below the history's bound, so none of them has been dropped.
static void checkHistory(std::uint64_t emptyState)
{
    const std::vector<Vertex> points = scene.vertices;
    const Predecessors route = scene.cameFrom;
    const int selections[3] = {scene.startVertex, scene.goalVertex, scene.markedVertex};
    const std::uint64_t state = sceneState();
    int undone = 0;
    while (undoEdit())
        ++undone;
    require(sceneIs({}, {}, {-1, -1, -1}) && sceneState() == emptyState, undone,
            "undoing every step does not give back the empty scene");
    for (int i = 0; i < undone; ++i)
        require(redoEdit(), i, "a step undone cannot be redone");
    require(sceneIs(points, route, selections) && sceneState() == state, undone,
            "redoing every step does not give back the last scene");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input{data, size, 0, 0, 0};
    clearMap();
    clearHistory();
    resetView(); // the wheel zooms: every input starts from the default view
    const std::uint64_t emptyState = sceneState();
    randomSeed(readWord(input, 4));
    int largeEvents = 0;
    for (int i = 0; i < kMaxEvents && input.offset < input.size; ++i) {
        if (scene.vertices.size() > kLargeGraph && ++largeEvents > kMaxLargeEvents)
            break;
        if (feedEvent(input))
            checkScene(i);
    }
    checkHistory(emptyState);
    return 0;
}
