// One frame of the window, drawn into the back buffer without the swap.
#pragma once

// Today's drawing, every layer rasterised from scratch: points, selections,
// links, search layer, route, then the text overlays. The reference picture.
void drawFrameDirect();

// The same picture, pixel for pixel, with points and links put back from the
// scene cache; only selections, route and overlays are rasterised each frame.
void drawFrameCached();
