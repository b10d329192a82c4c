// What the searches that preprocess a graph keep about it: Jump Point
// Search's grid, ALT's landmarks. Made when a search first needs it; the
// scene's is kept until graphRevision() moves, a command's map keeps its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/costs.h"
#include "graph/scene.h"
#include "route/cost_graph.h"
#include "route/grid_shape.h"
#include "route/landmarks.h"
#include "route/search.h"

struct PreparedGraph {
    bool gridChecked = false;
    bool isGrid = false;
    GridShape grid;
    std::string notGrid; // why not, when checked and not a grid
    bool landmarksMade = false;
    CostGraph arcs;
    Landmarks landmarks;
    double landmarkSeconds = 0.0; // what choosing them took
    bool costsKnown = false;
    CostModel costs;
};

// Told of the preparation's progress: done of total steps of the named work
// ("choosing landmarks"), only on graphs of kPreparationReportVertices or
// more. The command line points it at its progress line, the window at
// its status line; nullptr (the start) for silence.
constexpr std::size_t kPreparationReportVertices = 100000;
extern void (*preparationProgress)(const char* work, int done, int total);

// Makes sure prepared holds what mode needs to search vertices (nothing for
// the searches that need nothing). False when mode cannot search vertices,
// with why as one line ("jps needs a uniform eight-connected grid without
// corner cutting: ..."). prepared must hold nothing of another graph.
bool prepareSearch(PreparedGraph& prepared, const std::vector<Vertex>& vertices, SearchMode mode, std::string& why);

// costModelOf(vertices), made once and kept in prepared: a pass over every
// link is more than a short search costs.
const CostModel& preparedCostModel(PreparedGraph& prepared, const std::vector<Vertex>& vertices);

// The scene's preparation, emptied first when graphRevision() has moved
// since it was made.
PreparedGraph& scenePreparation();

// The scene's preparation when it is of today's graph, else nullptr; changes
// nothing, so drawing may ask.
const PreparedGraph* currentScenePreparation();

// The preparation to use for vertices: the scene's own when vertices are
// the scene's, otherwise own.
PreparedGraph& preparationFor(const std::vector<Vertex>& vertices, PreparedGraph& own);

// True when mode can search vertices (preparing what it needs in prepared,
// or as preparationFor picks when nullptr); false with why as in prepareSearch.
bool searchUsable(const std::vector<Vertex>& vertices, SearchMode mode, PreparedGraph* prepared, std::string& why);
