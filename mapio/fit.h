// Where a map whose coordinates are not pixels lands in the window, and how
// large a map any reader accepts. Readers build a Scene of their own, apart
// from the process-wide one, so a file that fails half way leaves the
// program's scene untouched.
#pragma once

// The window a map is fitted into when its own coordinates are not pixels.
constexpr double kFitWidth = 800.0;
constexpr double kFitHeight = 600.0;
// Largest vertex count any reader accepts.
constexpr long kMaxMapVertices = 10'000'000;

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
