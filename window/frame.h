// One frame of the window, drawn into the back buffer without the swap.
#pragma once

#include "ui/search_view.h"

// Today's drawing, every layer rasterised from scratch: terrain, points, selections,
// links, search layer, route, then the text overlays. The reference picture.
void drawFrameDirect();

// The same picture, pixel for pixel, with terrain, points and links put back from the
// scene cache; only selections, route and overlays are rasterised each frame.
// Both draw drawSplitFrame's picture instead while the view is split.
void drawFrameCached();

// Side by side: the scene at half size twice, the left half with picture's
// search and route, the right with picture.right's, each with its panels in
// its own half; a divider between them; the status line across both.
// Rasterised in full every frame (the scene cache holds one whole-window
// picture). Needs picture.split.
void drawSplitFrame(const SearchPicture& picture);
