// When the search runs and how long its result lasts.
#pragma once

#include <vector>

// Re-runs the search in searchMode when both start and goal are set and keeps
// its trace in lastSearch. A failed search empties cameFrom; a successful one
// adds to it. Does nothing otherwise.
void updateRoute();

// Sets start, then goal, to random vertices (they may coincide) and updates
// the route. On an empty graph it does nothing and draws no random number.
void pickRandomRoute();

// The route to draw, from goal back to start; empty when there is none.
// Stops short, rather than read past, should a step be missing from cameFrom.
std::vector<int> currentRoute();
