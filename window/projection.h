// The two projections a frame is drawn in: the map's, under the current view,
// for the scene and its layers; the window's pixels for text and images.
// Both fill the current viewport; in the default view they are the same.
#pragma once

// One map unit is view.scale pixels, the view's (left, top) on the top-left
// pixel's centre, y growing down.
void useMapProjection();

// One unit one pixel, origin at the top-left pixel's centre, y growing down.
void usePixelProjection();
