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

static SearchPicture currentPicture()
{
    return searchPictureAt(statusClock(), glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}

// The layers over the links, common to both ways of drawing.
static void drawUpperLayers(const SearchPicture& picture)
{
    drawSearchLayer(picture);
    drawLandmarks();
    drawRoute();
    usePixelProjection();
    drawSearchText(picture);
    drawStatusLine();
}

void drawFrameDirect()
{
    const SearchPicture picture = currentPicture();
    if (picture.split) {
        drawSplitFrame(picture);
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    useMapProjection();
    drawTerrain();
    drawPoints();
    drawSelections();
    drawLinks();
    drawUpperLayers(picture);
}

// Selections go over the kept points; the kept links then go back over them.
void drawFrameCached()
{
    const SearchPicture picture = currentPicture();
    if (picture.split) {
        drawSplitFrame(picture);
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    useMapProjection();
    putBackPointsAndLinks();
    drawSelections();
    if (anySelection())
        putBackLinks();
    setColour(kLinkColour); // the colour drawLinks leaves for the layers above
    drawUpperLayers(picture);
}

void onDisplay()
{
    drawFrameCached();
    glutSwapBuffers();
    scheduleRedraw();
}
