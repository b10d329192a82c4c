// The short names of the searches, for the command line, the CSV and the
// stats line, and the order the m key cycles them in.
#pragma once

#include <string>

#include "route/search.h"

constexpr int kSearchModeCount = 10;

// Every mode in the m key's order: A*, Dijkstra, greedy, weighted A*,
// bidirectional Dijkstra, bidirectional A*, breadth-first, Jump Point
// Search, ALT, contraction hierarchies.
extern const SearchMode kSearchModes[kSearchModeCount];

// "astar", "dijkstra", "greedy", "weighted", "bidijkstra", "biastar", "bfs",
// "jps", "alt", "ch".
const char* searchModeKey(SearchMode mode);

// The mode named key; false when none is.
bool searchModeFromKey(const char* key, SearchMode& mode);

// The mode after mode in kSearchModes, the last wrapping to the first.
SearchMode nextSearchMode(SearchMode mode);

// True for the modes that promise the cheapest route (with a consistent
// heuristic for those that use one): A*, Dijkstra, both bidirectional ones,
// Jump Point Search, ALT and contraction hierarchies.
bool promisesCheapest(SearchMode mode);

// True for the modes the chosen estimate steers: A*, greedy, weighted,
// bidirectional A*. (Jump Point Search and ALT bring their own.)
bool usesHeuristic(SearchMode mode);

// "astar, dijkstra, ..., bfs" and "euclidean, ..., zero": what a usage error lists.
std::string knownModeKeys();
std::string knownHeuristicKeys();
