#include "route/untraced_search.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "route/prefetch.h"
#include "route/weighted.h"

namespace {

// What a search knows of one vertex. stamp tells this search's records from
// older ones, so nothing is cleared between searches.
struct Node {
    float g;            // cheapest cost from the start found so far
    float h;            // estimate to the goal, made when first reached
    std::uint32_t push; // number of the push that gave the current score, or kTaken / kNew
    std::uint32_t stamp;
};

struct Entry {
    std::uint64_t key; // score bits above, push number below: smaller comes first
    int vertex;
};

// A vertex reached during this expansion for the first time: pushed at its end.
constexpr std::uint32_t kNew = 0xfffffffeu;
constexpr std::uint32_t kTaken = 0xffffffffu;

struct Improved {
    int vertex;
    std::uint64_t oldKey; // where it stood in the list before this expansion
};

} // namespace

static std::vector<Node> nodes;
static std::vector<Entry> heap;
static std::uint32_t stamp = 0;

bool untracedSearchFits(const SearchChoice& choice, const CostModel& costs, std::size_t vertexCount)
{
    const bool family = choice.mode == SearchMode::AStar || choice.mode == SearchMode::Dijkstra ||
                        choice.mode == SearchMode::Greedy || choice.mode == SearchMode::Weighted;
    return family && !costs.given && vertexCount <= kMaxUntracedVertices;
}

// Float order as unsigned order: negative scores flipped whole, the others
// above them; -0 is made +0 first, since the two tie.
static std::uint64_t keyOf(float score, std::uint32_t push)
{
    const float zeroed = score + 0.0f;
    std::uint32_t bits;
    std::memcpy(&bits, &zeroed, sizeof bits);
    bits = (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
    return (static_cast<std::uint64_t>(bits) << 32) | push;
}

template <SearchMode Mode>
static float scoreOf(float g, float h, float weight)
{
    if constexpr (Mode == SearchMode::Dijkstra)
        return g;
    else if constexpr (Mode == SearchMode::Greedy)
        return h;
    else if constexpr (Mode == SearchMode::Weighted)
        return weightedScore(g, h, weight);
    else
        return g + h;
}

// A lambda rather than a function pointer, so the heap inlines it.
static const auto later = [](const Entry& a, const Entry& b) { return a.key > b.key; };

static void pushEntry(int vertex, float score, std::uint32_t push)
{
    nodes[static_cast<std::size_t>(vertex)].push = push;
    heap.push_back(Entry{keyOf(score, push), vertex});
    std::push_heap(heap.begin(), heap.end(), later);
}

// One loop for every mode and table; remember(vertex, from) records a
// predecessor as it improves, the last one written being the final one.
template <SearchMode Mode, typename Remember>
static bool search(const std::vector<Vertex>& vertices, int start, int goal, const SearchChoice& choice,
                   Remember remember)
{
    if (nodes.size() != vertices.size()) {
        nodes.assign(vertices.size(), Node{0.0f, 0.0f, 0, 0});
        stamp = 0;
    }
    if (++stamp == 0) {
        for (Node& node : nodes)
            node.stamp = 0;
        stamp = 1;
    }
    heap.clear();
    const Vertex& target = vertices[static_cast<std::size_t>(goal)];
    const float weight = choice.weight;
    const float startH = heuristicEstimate(choice.heuristic, vertices[static_cast<std::size_t>(start)], target);
    nodes[static_cast<std::size_t>(start)] = Node{0.0f, startH, 0, stamp};
    std::uint32_t pushes = 0;
    pushEntry(start, scoreOf<Mode>(0.0f, startH, weight), pushes++);

    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), later);
        const Entry top = heap.back();
        heap.pop_back();
        Node& taken = nodes[static_cast<std::size_t>(top.vertex)];
        if (taken.push != static_cast<std::uint32_t>(top.key))
            continue; // superseded by a later push, or already taken
        const int current = top.vertex;
        if (current == goal)
            return true;
        taken.push = kTaken;
        const float currentG = taken.g;

        const Vertex& vertex = vertices[static_cast<std::size_t>(current)];
        // A large graph's vertices are far apart in memory: ask for every
        // neighbour at once rather than wait for each in turn.
        for (int i = 0; i < vertex.linkCount; ++i) {
            prefetch(&nodes[static_cast<std::size_t>(vertex.links[i].to)]);
            prefetch(&vertices[static_cast<std::size_t>(vertex.links[i].to)]);
        }
        Improved improved[kMaxLinks];
        int improvedCount = 0;
        int added[kMaxLinks];
        int addedCount = 0;
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int neighbour = vertex.links[i].to;
            Node& node = nodes[static_cast<std::size_t>(neighbour)];
            const float tentative = vertex.links[i].cost + currentG;
            if (node.stamp != stamp) {
                const float h = heuristicEstimate(choice.heuristic, vertices[static_cast<std::size_t>(neighbour)],
                                                  target);
                node = Node{tentative, h, kNew, stamp};
                added[addedCount++] = neighbour;
                remember(neighbour, current);
                continue;
            }
            if (node.push == kTaken || node.g <= tentative)
                continue; // not strictly better: the first predecessor stays
            if (node.push != kNew) {
                bool listed = false; // a link met twice is one change
                for (int k = 0; k < improvedCount; ++k)
                    listed = listed || improved[k].vertex == neighbour;
                if (!listed)
                    improved[improvedCount++] = Improved{neighbour, keyOf(scoreOf<Mode>(node.g, node.h, weight),
                                                                          node.push)};
            }
            node.g = tentative;
            remember(neighbour, current);
        }

        // Improved vertices whose score moved go back in their order before
        // this expansion; one whose score stayed keeps its place.
        int movedCount = 0;
        for (int k = 0; k < improvedCount; ++k) {
            const Node& node = nodes[static_cast<std::size_t>(improved[k].vertex)];
            if (keyOf(scoreOf<Mode>(node.g, node.h, weight), 0) >> 32 != improved[k].oldKey >> 32)
                improved[movedCount++] = improved[k];
        }
        std::sort(improved, improved + movedCount,
                  [](const Improved& a, const Improved& b) { return a.oldKey < b.oldKey; });
        for (int k = 0; k < movedCount; ++k) {
            const Node& node = nodes[static_cast<std::size_t>(improved[k].vertex)];
            pushEntry(improved[k].vertex, scoreOf<Mode>(node.g, node.h, weight), pushes++);
        }
        for (int k = 0; k < addedCount; ++k) {
            const Node& node = nodes[static_cast<std::size_t>(added[k])];
            pushEntry(added[k], scoreOf<Mode>(node.g, node.h, weight), pushes++);
        }
    }
    return false;
}

template <typename Remember>
static bool runMode(const std::vector<Vertex>& vertices, int start, int goal, const SearchChoice& choice,
                       Remember remember)
{
    try {
        switch (choice.mode) {
        case SearchMode::Dijkstra:
            return search<SearchMode::Dijkstra>(vertices, start, goal, choice, remember);
        case SearchMode::Greedy:
            return search<SearchMode::Greedy>(vertices, start, goal, choice, remember);
        case SearchMode::Weighted:
            return search<SearchMode::Weighted>(vertices, start, goal, choice, remember);
        default:
            return search<SearchMode::AStar>(vertices, start, goal, choice, remember);
        }
    } catch (...) {
        nodes = std::vector<Node>{};
        heap = std::vector<Entry>{};
        throw;
    }
}

bool untracedSearch(Predecessors& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                    const SearchChoice& choice)
{
    if (cameFrom.from.size() < vertices.size())
        cameFrom.from.resize(vertices.size(), -1);
    int* from = cameFrom.from.data();
    std::size_t& count = cameFrom.count;
    return runMode(vertices, start, goal, choice, [from, &count](int vertex, int predecessor) {
        count += static_cast<std::size_t>(from[vertex] < 0);
        from[vertex] = predecessor;
    });
}

bool untracedSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                    const SearchChoice& choice)
{
    std::vector<std::pair<int, int>> writes;
    const bool found = runMode(vertices, start, goal, choice,
                                  [&writes](int vertex, int predecessor) { writes.emplace_back(vertex, predecessor); });
    for (const auto& [vertex, predecessor] : writes)
        cameFrom.insert_or_assign(vertex, predecessor);
    return found;
}
