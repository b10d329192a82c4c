#include "window/layers.h"

#include <GL/gl.h>

#include "graph/scene.h"
#include "route/route.h"

static void drawVertex(int index)
{
    glVertex2f(vertices[index].x, vertices[index].y);
}

static void drawSelection(int selection, float red, float green, float blue)
{
    if (selection == -1)
        return;
    glColor3f(red, green, blue);
    drawVertex(selection);
}

void drawPoints()
{
    glColor3f(1.0f, 1.0f, 1.0f);
    glPointSize(3.0f);
    glBegin(GL_POINTS);
    for (const Vertex& vertex : vertices)
        glVertex2f(vertex.x, vertex.y);
    glEnd();
}

void drawSelections()
{
    glPointSize(5.0f);
    glBegin(GL_POINTS);
    drawSelection(markedVertex, 1.0f, 0.0f, 1.0f);
    drawSelection(startVertex, 1.0f, 0.0f, 0.0f);
    drawSelection(goalVertex, 0.0f, 1.0f, 0.0f);
    glEnd();
}

bool anySelection()
{
    return markedVertex != -1 || startVertex != -1 || goalVertex != -1;
}

void drawLinks()
{
    glColor3f(1.0f, 0.5f, 0.0f);
    glBegin(GL_LINES);
    for (const Vertex& vertex : vertices) {
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
    glColor3f(0.0f, 1.0f, 1.0f);
    glBegin(GL_LINE_STRIP);
    for (int vertex : route)
        drawVertex(vertex);
    glEnd();
}
