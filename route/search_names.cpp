#include "route/search_names.h"

#include <cstring>

const SearchMode kSearchModes[kSearchModeCount] = {
    SearchMode::AStar,      SearchMode::Dijkstra, SearchMode::Greedy, SearchMode::Weighted,
    SearchMode::BiDijkstra, SearchMode::BiAStar,  SearchMode::Bfs,    SearchMode::Jps,
    SearchMode::Alt,        SearchMode::Ch,
};

constexpr const char* kModeKeys[kSearchModeCount] = {"astar",      "dijkstra", "greedy", "weighted", "bidijkstra",
                                                     "biastar",    "bfs",      "jps",    "alt",      "ch"};

static int indexOf(SearchMode mode)
{
    for (int i = 0; i < kSearchModeCount; ++i)
        if (kSearchModes[i] == mode)
            return i;
    return 0;
}

const char* searchModeKey(SearchMode mode)
{
    return kModeKeys[indexOf(mode)];
}

bool searchModeFromKey(const char* key, SearchMode& mode)
{
    for (int i = 0; i < kSearchModeCount; ++i)
        if (std::strcmp(key, kModeKeys[i]) == 0) {
            mode = kSearchModes[i];
            return true;
        }
    return false;
}

SearchMode nextSearchMode(SearchMode mode)
{
    return kSearchModes[(indexOf(mode) + 1) % kSearchModeCount];
}

bool promisesCheapest(SearchMode mode)
{
    return mode == SearchMode::AStar || mode == SearchMode::Dijkstra || mode == SearchMode::BiDijkstra ||
           mode == SearchMode::BiAStar || mode == SearchMode::Jps || mode == SearchMode::Alt ||
           mode == SearchMode::Ch;
}

bool usesHeuristic(SearchMode mode)
{
    return mode == SearchMode::AStar || mode == SearchMode::Greedy || mode == SearchMode::Weighted ||
           mode == SearchMode::BiAStar;
}

std::string knownModeKeys()
{
    std::string keys;
    for (const char* key : kModeKeys)
        keys += (keys.empty() ? "" : ", ") + std::string(key);
    return keys;
}

std::string knownHeuristicKeys()
{
    std::string keys;
    for (int i = 0; i < kHeuristicCount; ++i)
        keys += (keys.empty() ? "" : ", ") + std::string(heuristicKey(static_cast<Heuristic>(i)));
    return keys;
}
