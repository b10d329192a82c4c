#include "window/projection.h"

#include <GL/gl.h>

#include "ui/view.h"

// Half-pixel offsets put the map point of each pixel's centre on it.
static void projectOnto(double left, double top, double scale)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glLoadIdentity();
    glOrtho(left - 0.5 / scale, left + (viewport[2] - 0.5) / scale, top + (viewport[3] - 0.5) / scale,
            top - 0.5 / scale, -1.0, 1.0);
}

void useMapProjection()
{
    const ViewTransform view = currentView();
    projectOnto(view.left, view.top, view.scale);
}

void usePixelProjection()
{
    projectOnto(0.0, 0.0, 1.0);
}
