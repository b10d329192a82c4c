// The scene's own layers, each drawn in immediate mode in the current
// projection. A frame stacks them terrain, points, selections, links, route.
#pragma once

#include "ui/palette.h"

// On (as it starts), points and links outside the default view are drawn
// only from the vertices near the window; off, from every vertex, as the
// reference the frame tests hold the culled picture to.
void setCulling(bool on);

// Makes colour the current drawing colour.
void setColour(const Colour& colour);

// Every painted vertex (factor not 1) as a square of kTerrainSize pixels in
// its kTerrainColours tint, heavier ground over lighter; nothing on a map
// never painted.
void drawTerrain();

// Every vertex as a white point of size 3; nothing on an empty graph.
void drawPoints();

// Mark, start and goal as points of size 5 in magenta, red and green, in that
// order, so the goal wins where they meet; an unset one is skipped.
void drawSelections();

// True when mark, start or goal is set, i.e. drawSelections draws anything.
bool anySelection();

// Every link as an orange line, once from each end; never black, which the
// scene cache relies on to tell link pixels from the ground.
void drawLinks();

// The current route as a cyan line strip; nothing when there is none.
void drawRoute();
