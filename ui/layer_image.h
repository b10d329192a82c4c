// The search layer of a dense map as an image: one pixel a vertex, painted
// on the CPU so a million-vertex frame costs one image draw, not two million
// points.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/palette.h"
#include "ui/view.h"

// Fills rgba (width x height, bottom row first, as glDrawPixels takes it)
// with transparent pixels, then the first `reached` points of reachedXY in
// waitingColour and the first `expanded` points of expandedXY over them in
// expandedColour, each at the pixel whose centre a size-1 GL point at that
// map position covers under view. Points outside the window are skipped.
void paintLayer(std::vector<std::uint8_t>& rgba, int width, int height, const ViewTransform& view,
                const std::vector<float>& reachedXY,
                int reached, const Colour& waitingColour, const std::vector<float>& expandedXY, int expanded,
                const Colour& expandedColour);
