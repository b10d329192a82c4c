// Feeds arbitrary sequences of clicks and keys to the input handlers and
// aborts as soon as the scene breaks a rule.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/random.h"
#include "fuzz/event_decoder.h"
#include "fuzz/scene_checks.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "ui/input.h"

// Bounds that keep one input fast. On the 1600-vertex lattice a search takes
// tens of milliseconds and even the checks after an event take one or two, so
// an input gets one lattice and only a few events on it.
constexpr int kMaxEvents = 64;
constexpr int kMaxLattices = 1;
constexpr std::size_t kLargeGraph = 200;
constexpr int kMaxLargeEvents = 8;
constexpr int kMaxLargeSearches = 1;

struct Budget {
    int lattices = 0;
    int largeEvents = 0;
    int largeSearches = 0;
};

static void fail(const char* rule, int eventIndex)
{
    std::fprintf(stderr, "event %d: %s\n", eventIndex, rule);
    std::abort();
}

static bool runsSearch(const Event& event)
{
    if (event.kind == EventKind::Key)
        return event.key == 'f' || event.key == 'F';
    return event.button == kLeftButton && event.state == kButtonDown &&
           (event.modifiers & (kModifierAlt | kModifierShift)) != 0;
}

// Skips what would blow the budget, so the fuzzer spends its time on variety.
static bool withinBudget(const Event& event, Budget& budget)
{
    if (event.kind == EventKind::Key && event.key == '2') {
        if (budget.lattices == kMaxLattices)
            return false;
        ++budget.lattices;
    }
    if (vertices.size() > kLargeGraph && runsSearch(event)) {
        if (budget.largeSearches == kMaxLargeSearches)
            return false;
        ++budget.largeSearches;
    }
    return true;
}

static const char* applyMouse(const Event& event)
{
    const std::size_t before = vertices.size();
    const bool plainPress = event.button == kLeftButton && event.state == kButtonDown &&
                            event.modifiers == 0;
    const bool changed =
        handleMouse(event.button, event.state, event.x, event.y, event.modifiers);
    if (!changed && before != 0)
        return "a click was refused on a graph with vertices";
    if (plainPress) {
        if (vertices.size() != before + 1)
            return "a plain click did not add exactly one vertex";
        const Vertex& added = vertices.back();
        if (added.x != static_cast<float>(event.x) || added.y != static_cast<float>(event.y) ||
            added.linkCount != 0)
            return "a plain click added the wrong vertex";
    } else if (vertices.size() != before) {
        return "a click other than a plain press changed the vertex count";
    }
    return nullptr;
}

static const char* apply(const Event& event)
{
    if (event.kind == EventKind::Key)
        return handleKey(event.key) ? nullptr : "a key other than quit asked to quit";
    return applyMouse(event);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ByteReader reader{data, size, 0};
    clearMap();
    randomSeed(readSeed(reader));
    Budget budget;
    for (int i = 0; i < kMaxEvents && !atEnd(reader); ++i) {
        if (vertices.size() > kLargeGraph && ++budget.largeEvents > kMaxLargeEvents)
            break;
        const Event event = readEvent(reader);
        if (event.kind == EventKind::None || !withinBudget(event, budget))
            continue;
        if (const char* rule = apply(event))
            fail(rule, i);
        if (const char* rule = brokenSceneRule())
            fail(rule, i);
    }
    return 0;
}
