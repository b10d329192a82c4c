// When the search runs and how long its result lasts.
#pragma once

#include <vector>

// Re-runs the search in searchMode when both start and goal are set and keeps
// its trace in lastSearch. A failed search empties cameFrom; a successful one
// adds to it. Does nothing otherwise.
void updateRoute();

// True when lastSearch is the search for the scene's start and goal in
// searchMode, searchHeuristic and searchWeight, on a graph no smaller than
// today's.
bool lastSearchApplies();

// Undo and redo can bring back a start and goal whose search is not the last
// one run: runs it again into lastSearch (its predecessors into a table of
// its own, so cameFrom and the drawn route stay as they are). Does nothing
// when lastSearch applies or an end is unset.
void refreshLastSearch();

// The route to draw, from goal back to start; empty when there is none
// (cameFrom empty, an end unset, or a walk that does not reach the start).
std::vector<int> currentRoute();
