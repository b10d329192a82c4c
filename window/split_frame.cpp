#include <GL/glut.h>

#include "graph/scene.h"
#include "ui/palette.h"
#include "ui/text_panel.h"
#include "window/frame.h"
#include "window/layers.h"
#include "window/overlays.h"
#include "window/projection.h"

static void drawRouteOf(const std::vector<int>& route)
{
    setColour(kRouteColour);
    glBegin(GL_LINE_STRIP);
    for (int vertex : route)
        glVertex2f(scene.vertices[static_cast<std::size_t>(vertex)].x,
                   scene.vertices[static_cast<std::size_t>(vertex)].y);
    glEnd();
}

void drawSplitFrame(const SearchPicture& picture)
{
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    const int half = width / 2;
    glClear(GL_COLOR_BUFFER_BIT);
    // Made for the whole window before the viewport shrinks, so each half
    // shows what the whole window would, zoom and pan included.
    glViewport(0, 0, width, height);
    useMapProjection();
    const SearchPicture* halves[2] = {&picture, &picture.right.front()};
    for (int side = 0; side < 2; ++side) {
        // The whole window's projection in a viewport half as wide and half as
        // high: the map at half size, its shape kept, centred in its half.
        glViewport(side * half, height / 4, half, height / 2);
        drawPoints();
        drawSelections();
        drawLinks();
        drawSearchLayer(*halves[side]);
        if (side == 0)
            drawRoute();
        else
            drawRouteOf(picture.rightRoute);
    }
    glViewport(0, 0, width, height);
    usePixelProjection();
    setColour(kTextColour);
    glBegin(GL_LINES);
    glVertex2f(static_cast<float>(half), 0.0f);
    glVertex2f(static_cast<float>(half), static_cast<float>(height));
    glEnd();
    // Each half's panels stay in their half; the help overlay spans both.
    SearchPicture left = picture;
    std::vector<TextPanel> across;
    if (!left.panels.empty() && left.panels.back().x > kPanelMargin) {
        across.push_back(left.panels.back());
        left.panels.pop_back();
    }
    SearchPicture right = picture.right.front();
    for (TextPanel& panel : right.panels)
        panel.x += static_cast<float>(half);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, half, height);
    drawSearchText(left);
    glScissor(half, 0, width - half, height);
    drawSearchText(right);
    glDisable(GL_SCISSOR_TEST);
    left.panels = across;
    drawSearchText(left);
    drawStatusLine();
}
