#include "window/layers.h"

#include <GL/gl.h>

#include "graph/costs.h"
#include "graph/scene.h"
#include "graph/vertex_grid.h"
#include "route/route.h"
#include "ui/brush.h"
#include "ui/palette.h"
#include "ui/view.h"

// Beyond the window, in pixels, a point's dot can still reach into it.
constexpr float kDotReach = 3.0f;

// The vertices to draw from: all of them in the default view, else those the
// grid finds within reach (pixels beyond the window) of what the window shows.
static std::vector<int> shown;
static bool culling = true;

static const std::vector<int>* culledVertices(float reach)
{
    if (viewIsDefault() || !culling)
        return nullptr;
    shown.clear();
    verticesInBox(sceneGrid(), visibleMapBox(reach), shown);
    return &shown;
}

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

void setCulling(bool on)
{
    culling = on;
}

void setColour(const Colour& colour)
{
    glColor3f(colour.red, colour.green, colour.blue);
}

// One pass a tint, lightest first, so heavier ground wins where squares
// overlap whatever the vertex order.
void drawTerrain()
{
    // Derived costs mean every factor is 1: nothing painted, nothing to look through.
    if (!sceneCostModel().given)
        return;
    const std::vector<int>* culled = culledVertices(kTerrainSize / 2.0f);
    const std::size_t count = culled != nullptr ? culled->size() : scene.vertices.size();
    const auto vertexAt = [culled](std::size_t i) {
        return culled != nullptr ? (*culled)[i] : static_cast<int>(i);
    };
    bool begun = false;
    for (int shade = 0; shade < static_cast<int>(sizeof kTerrainColours / sizeof kTerrainColours[0]); ++shade) {
        for (std::size_t i = 0; i < count; ++i) {
            const int index = vertexAt(i);
            if (terrainShade(scene.vertices[static_cast<std::size_t>(index)].factor) != shade)
                continue;
            if (!begun) {
                glPointSize(kTerrainSize);
                setColour(kTerrainColours[shade]);
                glBegin(GL_POINTS);
                begun = true;
            }
            drawVertex(index);
        }
        if (begun) {
            glEnd();
            begun = false;
        }
    }
}

void drawPoints()
{
    setColour(kPointColour);
    glPointSize(kPointSize);
    glBegin(GL_POINTS);
    if (const std::vector<int>* culled = culledVertices(kDotReach)) {
        for (int index : *culled)
            drawVertex(index);
    } else {
        for (const Vertex& vertex : scene.vertices)
            glVertex2f(vertex.x, vertex.y);
    }
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

// Vertex index's links, all of them, or (once) only those to a higher index.
static void drawLinksOf(int index, bool once)
{
    const Vertex& vertex = scene.vertices[static_cast<std::size_t>(index)];
    for (int i = 0; i < vertex.linkCount; ++i) {
        if (once && vertex.links[i].to < index)
            continue;
        glVertex2f(vertex.x, vertex.y);
        drawVertex(vertex.links[i].to);
    }
}

// The default view draws every link from both ends, as ever. Any other view
// draws each link once, from its lower end: half the lines for the
// rasteriser, and a link that crosses the window has both ends within its
// length of it, so the vertices that near are all that need drawing from.
void drawLinks()
{
    setColour(kLinkColour);
    glBegin(GL_LINES);
    const bool once = !viewIsDefault();
    const float reach = once ? static_cast<float>(sceneGrid().longestLink * currentView().scale) + kDotReach : 0.0f;
    if (const std::vector<int>* culled = culledVertices(reach)) {
        for (int index : *culled)
            drawLinksOf(index, once);
    } else {
        for (int index = 0; index < static_cast<int>(scene.vertices.size()); ++index)
            drawLinksOf(index, once);
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
