// What a finished search trace looked like after any number of expansions:
// the sets the search view draws and the replay steps through.
#pragma once

#include <vector>

#include "route/search.h"

// Expansions the trace holds: the last step a replay can show.
int stepCount(const SearchTrace& trace);

// The vertex the step-th expansion took (step 1 is the start); -1 for step 0
// or a step past the end.
int vertexExpandedAt(const SearchTrace& trace, int step);

// True when vertex had been expanded / was waiting after step expansions.
// Indices beyond the trace's tables (vertices added since) are neither.
bool expandedBy(const SearchTrace& trace, int vertex, int step);
bool waitingAt(const SearchTrace& trace, int vertex, int step);

struct StepSets {
    std::vector<int> expanded; // in expansion order
    std::vector<int> waiting;  // ascending index
};

// Both sets after step expansions (clamped to 0..stepCount), from the tables.
StepSets setsAtStep(const SearchTrace& trace, int step);

// Moves out of sets (setsAtStep of a bidirectional trace) what belongs to
// the backward half, which the view draws in its own colours: the waiting
// vertices it reached first and the expansions it took, orders kept. Empty,
// and sets untouched, for a trace with one half.
StepSets takeBackHalf(const SearchTrace& trace, StepSets& sets);

// The trace's vertices in the order they first waited (ties by index), with
// that step beside each: every set at every step is a prefix of this or of
// trace.expanded, which is how the view draws a step without a pass over the graph.
struct ReachOrder {
    std::vector<int> vertices;
    std::vector<int> steps; // ascending
};
ReachOrder reachOrder(const SearchTrace& trace);

// How many of order's vertices had been reached by step.
int reachedCount(const ReachOrder& order, int step);
