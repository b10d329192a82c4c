// Zoom and pan: which part of the map the window shows. A window pixel (x, y)
// shows the map point (left + x / scale, top + y / scale). The default view,
// scale 1 at (0, 0), is the one the program always had: map units are window
// pixels, and every conversion below gives back its input exactly.
#pragma once

#include <string>

#include "graph/vertex_grid.h"

// Zoom steps: one mouse-wheel notch, and the scale's bounds around the map.
constexpr float kZoomStep = 1.25f;
// The farthest out shows the whole map at least this small in the window.
constexpr float kZoomOutMargin = 0.5f;
// The farthest in shows about this many vertex spacings across the window.
constexpr float kZoomInSpacings = 4.0f;

struct MapPoint {
    float x = 0.0f, y = 0.0f;
};

struct ViewTransform {
    float scale = 1.0f; // window pixels per map unit
    float left = 0.0f;  // map point shown at the window's top-left pixel centre
    float top = 0.0f;
};

// The window's size in pixels; 800 x 600 until told.
void setViewWindow(int width, int height);
int viewWidth();
int viewHeight();

// The view as it is now.
ViewTransform currentView();
// True until the first zoom or pan, and again after resetView.
bool viewIsDefault();

// Window pixel to map position and back under the current view.
MapPoint screenToMap(float x, float y);
MapPoint mapToScreen(float x, float y);

// The map area the window shows, widened by margin window pixels all round.
MapBox visibleMapBox(float margin);

// Zooms by factor (above 1 in, below 1 out) keeping the map point under
// window pixel (x, y) where it is; the scale stays within the bounds the
// scene's extent gives (scale 1 always allowed). Shows the scale on the
// status line. A factor that is not finite and positive changes nothing.
void zoomViewAt(int x, int y, float factor);
// Moves the picture by (dx, dy) window pixels: the map follows a drag.
void panView(int dx, int dy);
// Back to the default view.
void resetView();
// Exactly wanted, but for a scale outside what zoom allows for the scene,
// which is clamped into it; a view that is not finite or not above 0 in
// scale leaves the view as it is.
void setView(const ViewTransform& wanted);

// The scale as the status line shows it: "zoom 244%".
std::string zoomText(float scale);
