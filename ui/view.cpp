#include "ui/view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/status.h"

// A hand-drawn map of a few vertices can still be looked at this closely.
constexpr float kLeastZoomIn = 16.0f;
// Past this the map's floats would no longer place points on whole pixels.
constexpr float kMostZoomIn = 10000.0f;

static ViewTransform view;
static int windowWidth = 800;
static int windowHeight = 600;

// The scale's bounds for the scene as it is: out to the whole map with room
// around it, in to a few vertex spacings across the window.
static void scaleBounds(float& least, float& most)
{
    const VertexGrid& grid = sceneGrid();
    const double width = grid.members.empty() ? windowWidth : grid.columns * grid.cellSize;
    const double height = grid.members.empty() ? windowHeight : grid.rows * grid.cellSize;
    const double fit = std::min(windowWidth / width, windowHeight / height);
    least = static_cast<float>(std::min(1.0, kZoomOutMargin * fit));
    // About two vertices a cell: a spacing is a cell's side over the root of two.
    const double spacing = grid.members.empty() ? 1.0 : grid.cellSize / std::sqrt(2.0);
    most = static_cast<float>(std::min<double>(kMostZoomIn, std::max<double>(kLeastZoomIn, windowWidth / (kZoomInSpacings * spacing))));
    if (!(least > 0.0f))
        least = std::min(1.0f, most);
}

void setViewWindow(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
}

int viewWidth()
{
    return windowWidth;
}

int viewHeight()
{
    return windowHeight;
}

ViewTransform currentView()
{
    return view;
}

bool viewIsDefault()
{
    return view.scale == 1.0f && view.left == 0.0f && view.top == 0.0f;
}

MapPoint screenToMap(float x, float y)
{
    const float dx = x / view.scale;
    const float dy = y / view.scale;
    return MapPoint{view.left + dx, view.top + dy};
}

MapPoint mapToScreen(float x, float y)
{
    const float dx = x - view.left;
    const float dy = y - view.top;
    return MapPoint{dx * view.scale, dy * view.scale};
}

MapBox visibleMapBox(float margin)
{
    const double scale = view.scale;
    return MapBox{view.left - margin / scale, view.top - margin / scale,
                  view.left + (windowWidth + margin) / scale, view.top + (windowHeight + margin) / scale};
}

void zoomViewAt(int x, int y, float factor)
{
    if (!std::isfinite(factor) || !(factor > 0.0f))
        return;
    float least = 1.0f, most = 1.0f;
    scaleBounds(least, most);
    const float wanted = view.scale * factor;
    const float scale = std::clamp(wanted, least, most);
    const MapPoint fixed = screenToMap(static_cast<float>(x), static_cast<float>(y));
    view.scale = scale;
    view.left = fixed.x - static_cast<float>(x) / scale;
    view.top = fixed.y - static_cast<float>(y) / scale;
    showStatus(zoomText(scale));
}

void panView(int dx, int dy)
{
    view.left -= static_cast<float>(dx) / view.scale;
    view.top -= static_cast<float>(dy) / view.scale;
}

void resetView()
{
    view = ViewTransform{};
}

void setView(const ViewTransform& wanted)
{
    if (!std::isfinite(wanted.scale) || !(wanted.scale > 0.0f) || !std::isfinite(wanted.left) ||
        !std::isfinite(wanted.top))
        return;
    float least = 1.0f, most = 1.0f;
    scaleBounds(least, most);
    view = ViewTransform{std::clamp(wanted.scale, least, most), wanted.left, wanted.top};
}

std::string zoomText(float scale)
{
    char text[32];
    const double percent = static_cast<double>(scale) * 100.0;
    std::snprintf(text, sizeof text, percent >= 100.0 ? "zoom %.0f%%" : "zoom %.3g%%", percent);
    return text;
}
