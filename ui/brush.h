// The terrain brush: t picks the factor a plain left drag paints, and a
// stroke (press to release) sets the terrain factor of the vertices near the
// pointer, as one undo step, instead of adding vertices.
#pragma once

#include <vector>

// How far from the pointer the brush reaches, in window pixels, whatever the zoom.
constexpr float kBrushRadius = 12.0f;

// One choice of the t key: the factor painted (0: the brush is off) and its name.
struct Brush {
    float factor = 0.0f;
    const char* name = "";
};

// In the t key's order: off, x2, x5, x20, x1 (erasing back to plain ground).
extern const Brush kBrushes[];
extern const int kBrushCount;

// t: the next brush, the last wrapping to off; says on the status line which.
void cycleBrush();
// The factor the brush paints; 0 while it is off.
float brushFactor();
// Back to off without a word (a new session of the tests).
void resetBrush();

// The status line for brush index (kBrushes' order): "brush off", or
// "brush: mud x5 - drag to paint, t for the next".
const char* brushStatus(int index);

// The vertices the brush covers with the pointer at window pixel (x, y): those
// at most kBrushRadius window pixels from it under the current view, found
// through the scene's grid, in increasing index.
std::vector<int> verticesUnderBrush(float x, float y);

// Opens a stroke at window pixel (x, y) and paints there. False, opening
// nothing, while the brush is off.
bool beginStroke(int x, int y);
// Paints along the straight line from the stroke's last point to (x, y), so
// that a quick drag leaves no gaps (at 1,024 points at most, for a move far
// beyond any window). False when no stroke is open.
bool continueStroke(int x, int y);
// Closes the stroke: when it changed a factor, the route is searched again,
// and the stroke becomes one undo step (none when it changed nothing). Does
// nothing without an open stroke.
void endStroke();
// True between beginStroke and endStroke.
bool strokeIsOpen();

// Which tint a factor is drawn with: -1 for plain ground (exactly 1), else an
// index into kTerrainColours (ui/palette.h): easier ground, up to x2, up to
// x5, heavier.
int terrainShade(float factor);
