// A whole map as a reader yields it and a writer takes it: the graph and its
// selections, apart from the process-wide scene, so a file that fails half
// way leaves the scene untouched.
#pragma once

#include <string>
#include <vector>

#include "graph/scene.h"

// The window a map is fitted into when its own coordinates are not pixels.
constexpr double kFitWidth = 800.0;
constexpr double kFitHeight = 600.0;
// Largest vertex count any reader accepts.
constexpr long kMaxMapVertices = 10'000'000;

struct MapData {
    std::vector<Vertex> vertices;
    int startVertex = -1;
    int goalVertex = -1;
    int markedVertex = -1;
    // Metres per pixel for maps read from geographic coordinates; 0 otherwise.
    double metresPerUnit = 0.0;
};

// How a map in some other unit lands in the window: pixel = offset + scale * coordinate.
struct Fit {
    double scale = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;
};

// The largest uniform scale that shows the box from (minX, minY) to (maxX, maxY)
// whole in the 800 x 600 window with a 10-pixel margin, centred. A box of no
// width or height (one point) gets scale 1, centred.
Fit fitBox(double minX, double minY, double maxX, double maxY);

// Checks everything a scene must hold (links symmetric with equal costs, no
// self-links or duplicates, at most kMaxLinks, indices and selections valid).
bool mapIsConsistent(const MapData& map);
