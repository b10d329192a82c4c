// The unchanging part of a frame, painted terrain, points and links, kept as the pixels the
// driver rasterised and put back with glDrawPixels instead of drawn again.
// Kept until the graph (graphRevision) or the viewport changes; the ground
// they cover is the palette's background, which the window never changes.
// Needs a current GL context whose back buffer is drawn to.
#pragma once

#include <cstdint>

// Covers the viewport with terrain, points and links exactly as drawTerrain,
// drawPoints then drawLinks would over a cleared buffer (the level-of-detail
// picture, which stands in on a crowded view, has no terrain). When the cache is stale it first
// rasterises both layers into the back buffer and reads them back, so call
// it before anything else of the frame is drawn.
void putBackPointsAndLinks();

// Puts the link pixels back over whatever was drawn since, leaving every other
// pixel alone: links then cover the selections as if drawn after them.
// Call only after putBackPointsAndLinks in the same frame.
void putBackLinks();

// How many times the layers have been rasterised and read back so far.
std::uint64_t sceneCaptureCount();
