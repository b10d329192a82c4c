#include "ui/layer_image.h"

#include <cmath>

static void paintPoints(std::vector<std::uint8_t>& rgba, int width, int height, const ViewTransform& view,
                        const std::vector<float>& xy, int count, const Colour& colour)
{
    const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(std::lround(colour.red * 255.0f)),
                                   static_cast<std::uint8_t>(std::lround(colour.green * 255.0f)),
                                   static_cast<std::uint8_t>(std::lround(colour.blue * 255.0f)), 255};
    for (int i = 0; i < count; ++i) {
        // The window maps x to x + 0.5 and y to height - 0.5 - y; a point covers the pixel it falls in.
        const float dx = xy[2 * i] - view.left;
        const float dy = xy[2 * i + 1] - view.top;
        const float x = dx * view.scale;
        const float y = dy * view.scale;
        const double column = std::floor(static_cast<double>(x) + 0.5);
        const double row = std::floor(static_cast<double>(height) - 0.5 - static_cast<double>(y));
        if (!(column >= 0 && column < width && row >= 0 && row < height))
            continue;
        const std::size_t at = (static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(column)) * 4;
        for (int c = 0; c < 4; ++c)
            rgba[at + static_cast<std::size_t>(c)] = pixel[c];
    }
}

void paintLayer(std::vector<std::uint8_t>& rgba, int width, int height, const ViewTransform& view,
                const std::vector<float>& reachedXY,
                int reached, const Colour& waitingColour, const std::vector<float>& expandedXY, int expanded,
                const Colour& expandedColour)
{
    rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    paintPoints(rgba, width, height, view, reachedXY, reached, waitingColour);
    paintPoints(rgba, width, height, view, expandedXY, expanded, expandedColour);
}
