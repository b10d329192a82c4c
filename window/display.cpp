#include <GL/glut.h>

#include "ui/palette.h"
#include "ui/search_view.h"
#include "ui/status.h"
#include "window/callbacks.h"
#include "window/frame.h"
#include "window/layers.h"
#include "window/overlays.h"
#include "window/projection.h"
#include "window/scene_cache.h"
#include "window/window.h"

// The layers over the links, common to both ways of drawing: the search
// layer and the route on the map, the text on the window.
static void drawUpperLayers()
{
    const SearchPicture picture =
        searchPictureAt(statusClock(), glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    drawSearchLayer(picture);
    drawRoute();
    usePixelProjection();
    drawSearchText(picture);
    drawStatusLine();
}

void drawFrameDirect()
{
    glClear(GL_COLOR_BUFFER_BIT);
    useMapProjection();
    drawPoints();
    drawSelections();
    drawLinks();
    drawUpperLayers();
}

// Selections go over the kept points; the kept links then go back over them.
void drawFrameCached()
{
    glClear(GL_COLOR_BUFFER_BIT);
    useMapProjection();
    putBackPointsAndLinks();
    drawSelections();
    if (anySelection())
        putBackLinks();
    setColour(kLinkColour); // the colour drawLinks leaves for the layers above
    drawUpperLayers();
}

void onDisplay()
{
    drawFrameCached();
    glutSwapBuffers();
    scheduleRedraw();
}
