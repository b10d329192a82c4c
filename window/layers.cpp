#include "window/layers.h"

#include <GL/gl.h>

#include "graph/scene.h"
#include "route/route.h"
#include "ui/palette.h"

static void drawVertex(int index)
{
    glVertex2f(scene.vertices[index].x, scene.vertices[index].y);
}

static void drawSelection(int selection, const Colour& colour)
{
    if (selection == -1)
        return;
    setColour(colour);
    drawVertex(selection);
}

void setColour(const Colour& colour)
{
    glColor3f(colour.red, colour.green, colour.blue);
}

void drawPoints()
{
    setColour(kPointColour);
    glPointSize(kPointSize);
    glBegin(GL_POINTS);
    for (const Vertex& vertex : scene.vertices)
        glVertex2f(vertex.x, vertex.y);
    glEnd();
}

void drawSelections()
{
    glPointSize(kSelectionSize);
    glBegin(GL_POINTS);
    drawSelection(scene.markedVertex, kMarkColour);
    drawSelection(scene.startVertex, kStartColour);
    drawSelection(scene.goalVertex, kGoalColour);
    glEnd();
}

bool anySelection()
{
    return scene.markedVertex != -1 || scene.startVertex != -1 || scene.goalVertex != -1;
}

void drawLinks()
{
    setColour(kLinkColour);
    glBegin(GL_LINES);
    for (const Vertex& vertex : scene.vertices) {
        for (int i = 0; i < vertex.linkCount; ++i) {
            glVertex2f(vertex.x, vertex.y);
            drawVertex(vertex.links[i].to);
        }
    }
    glEnd();
}

void drawRoute()
{
    const std::vector<int> route = currentRoute();
    if (route.empty())
        return;
    setColour(kRouteColour);
    glBegin(GL_LINE_STRIP);
    for (int vertex : route)
        drawVertex(vertex);
    glEnd();
}
