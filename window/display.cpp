#include <GL/glut.h>

#include "window/callbacks.h"
#include "window/frame.h"
#include "window/layers.h"
#include "window/overlays.h"
#include "window/scene_cache.h"

// The layers over the links, common to both ways of drawing.
static void drawUpperLayers()
{
    drawSearchLayer();
    drawRoute();
    drawSearchText();
    drawStatusLine();
}

void drawFrameDirect()
{
    glClear(GL_COLOR_BUFFER_BIT);
    drawPoints();
    drawSelections();
    drawLinks();
    drawUpperLayers();
}

// Selections go over the kept points; the kept links then go back over them.
void drawFrameCached()
{
    glClear(GL_COLOR_BUFFER_BIT);
    putBackPointsAndLinks();
    drawSelections();
    if (anySelection())
        putBackLinks();
    glColor3f(1.0f, 0.5f, 0.0f); // the colour drawLinks leaves for the layers above
    drawUpperLayers();
}

void onDisplay()
{
    drawFrameCached();
    glutSwapBuffers();
}
