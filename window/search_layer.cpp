#include <GL/freeglut.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "graph/scene.h"
#include "ui/layer_image.h"
#include "ui/palette.h"
#include "ui/search_steps.h"
#include "ui/view.h"
#include "window/layers.h"
#include "window/overlays.h"
#include "window/projection.h"

// The trace's vertices as vertex arrays: every set of every step is a prefix
// of one of them, so a frame costs two draw calls and no pass over the graph.
// Made for one search on one graph.
struct LayerArrays {
    std::uint64_t generation = 0;
    std::uint64_t revision = 0;
    ReachOrder order;
    std::vector<float> reachedXY, expandedXY;
    // A bidirectional search's backward half, drawn over the rest in its own
    // colours: what it reached first with the step of that, and what it
    // expanded with the expansion's position.
    std::vector<float> backReachedXY, backExpandedXY;
    std::vector<int> backReachSteps, backExpansions;
};

// Past this many reached vertices the dots would merge into one blot anyway;
// single pixels then keep a million-vertex frame quick.
constexpr std::size_t kDenseLayer = 50000;

// One search's arrays and, for a dense layer, its image: the arrays'
// vertices after imageStep expansions, in a viewport of imageWidth x
// imageHeight; -1 steps when none is painted.
struct LayerCache {
    LayerArrays arrays;
    std::vector<std::uint8_t> image;
    int imageStep = -1, imageWidth = 0, imageHeight = 0;
    ViewTransform imageView;
    std::uint64_t lastUse = 0;
};

// Two, so the side-by-side view's halves keep theirs instead of rebuilding
// each other's every frame.
static LayerCache caches[2];
static std::uint64_t uses = 0;
static LayerCache* cache = &caches[0]; // the one the search being drawn uses

static void appendXY(std::vector<float>& xy, int vertex)
{
    xy.push_back(scene.vertices[static_cast<std::size_t>(vertex)].x);
    xy.push_back(scene.vertices[static_cast<std::size_t>(vertex)].y);
}

// Points cache at trace's slot, the least recently used one when none holds it.
static void chooseCache(const SearchTrace& trace)
{
    LayerCache* chosen = &caches[0];
    for (LayerCache& slot : caches) {
        if (slot.arrays.generation == trace.generation && slot.arrays.revision == graphRevision()) {
            chosen = &slot;
            break;
        }
        if (slot.lastUse < chosen->lastUse)
            chosen = &slot;
    }
    cache = chosen;
    cache->lastUse = ++uses;
}

static void refreshArrays(const SearchTrace& trace)
{
    chooseCache(trace);
    if (cache->arrays.generation == trace.generation && cache->arrays.revision == graphRevision())
        return;
    cache->arrays.generation = trace.generation;
    cache->arrays.revision = graphRevision();
    cache->imageStep = -1;
    cache->arrays.order = reachOrder(trace);
    cache->arrays.reachedXY.clear();
    cache->arrays.expandedXY.clear();
    for (int vertex : cache->arrays.order.vertices)
        appendXY(cache->arrays.reachedXY, vertex);
    for (int vertex : trace.expanded)
        appendXY(cache->arrays.expandedXY, vertex);
    cache->arrays.backReachedXY.clear();
    cache->arrays.backExpandedXY.clear();
    cache->arrays.backReachSteps.clear();
    cache->arrays.backExpansions.clear();
    for (std::size_t i = 0; i < cache->arrays.order.vertices.size(); ++i) {
        const std::size_t vertex = static_cast<std::size_t>(cache->arrays.order.vertices[i]);
        if (vertex < trace.side.size() && trace.side[vertex] == 1) {
            appendXY(cache->arrays.backReachedXY, cache->arrays.order.vertices[i]);
            cache->arrays.backReachSteps.push_back(cache->arrays.order.steps[i]);
        }
    }
    for (std::size_t i = 0; i < trace.expandedSide.size() && i < trace.expanded.size(); ++i)
        if (trace.expandedSide[i] == 1) {
            appendXY(cache->arrays.backExpandedXY, trace.expanded[i]);
            cache->arrays.backExpansions.push_back(static_cast<int>(i));
        }
}

// How many of the backward half's vertices had been reached, and expanded, after step expansions.
static int backReached(int step)
{
    const std::vector<int>& steps = cache->arrays.backReachSteps;
    return static_cast<int>(std::upper_bound(steps.begin(), steps.end(), step) - steps.begin());
}

static int backExpanded(int step)
{
    const std::vector<int>& expansions = cache->arrays.backExpansions;
    return static_cast<int>(std::lower_bound(expansions.begin(), expansions.end(), step) - expansions.begin());
}

static void drawMeeting(const SearchTrace& trace, int step)
{
    if (trace.meeting < 0 || step < stepCount(trace) || trace.meeting >= static_cast<int>(scene.vertices.size()))
        return;
    setColour(kMeetingColour);
    glPointSize(kReplayVertexSize);
    glBegin(GL_POINTS);
    glVertex2f(scene.vertices[static_cast<std::size_t>(trace.meeting)].x,
               scene.vertices[static_cast<std::size_t>(trace.meeting)].y);
    glEnd();
}

static void drawPrefix(const std::vector<float>& xy, int count, const Colour& colour)
{
    if (count <= 0)
        return;
    setColour(colour);
    glVertexPointer(2, GL_FLOAT, 0, xy.data());
    glDrawArrays(GL_POINTS, 0, count);
}

static void drawReplayMarks(const SearchPicture& picture)
{
    if (picture.current < 0)
        return;
    setColour(kReplayColour);
    glLineWidth(kReplayLineWidth);
    glBegin(GL_LINE_STRIP);
    for (int vertex : picture.routeToCurrent) {
        const Vertex& onRoute = scene.vertices[static_cast<std::size_t>(vertex)];
        glVertex2f(onRoute.x, onRoute.y);
    }
    glEnd();
    glLineWidth(1.0f);
    glPointSize(kReplayVertexSize);
    glBegin(GL_POINTS);
    glVertex2f(scene.vertices[static_cast<std::size_t>(picture.current)].x,
               scene.vertices[static_cast<std::size_t>(picture.current)].y);
    glEnd();
}

static void drawPanel(const TextPanel& panel)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(kPanelColour.red, kPanelColour.green, kPanelColour.blue, kPanelOpacity);
    glRectf(panel.x, panel.y, panel.x + panel.width, panel.y + panel.height);
    glDisable(GL_BLEND);
    setColour(kTextColour);
    for (int i = 0; i < static_cast<int>(panel.lines.size()); ++i) {
        glRasterPos2f(textLeft(panel), textBaseline(panel, i));
        glutBitmapString(GLUT_BITMAP_9_BY_15,
                         reinterpret_cast<const unsigned char*>(panel.lines[static_cast<std::size_t>(i)].c_str()));
    }
}

// The view as it falls in the current viewport: the window's own, or
// shrunk into a part of the window (a half of the side-by-side view).
static ViewTransform viewportView(int width, int height)
{
    ViewTransform view = currentView();
    const int windowWidth = glutGet(GLUT_WINDOW_WIDTH), windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    if (width == windowWidth && height == windowHeight)
        return view;
    // Window coordinate u lands at u * shrink in the viewport; pixel centres
    // sit half a pixel in on both.
    const float shrink = static_cast<float>(width) / static_cast<float>(windowWidth);
    view.scale *= shrink;
    view.left += (0.5f - 0.5f * shrink) / view.scale;
    view.top += (0.5f - 0.5f * shrink) / view.scale;
    return view;
}

static void drawDenseLayer(const SearchTrace& trace, int step)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    const ViewTransform view = viewportView(width, height);
    LayerCache& c = *cache;
    if (step != c.imageStep || width != c.imageWidth || height != c.imageHeight || view.scale != c.imageView.scale ||
        view.left != c.imageView.left || view.top != c.imageView.top) {
        paintLayer(c.image, width, height, view, c.arrays.reachedXY, reachedCount(c.arrays.order, step),
                   kWaitingColour, c.arrays.expandedXY, std::min(step, stepCount(trace)), kExpandedColour);
        c.imageStep = step;
        c.imageWidth = width;
        c.imageHeight = height;
        c.imageView = view;
    }
    // The projection in use is put back as it was: in a half of the
    // side-by-side view it is the whole window's, which the map's projection
    // made for the half would not be.
    glPushMatrix();
    usePixelProjection();
    // Just inside the bottom-left pixel, so the image lands on whole pixels.
    glRasterPos2f(-0.25f, static_cast<float>(height) - 0.75f);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, c.image.data());
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();
}

void drawSearchLayer(const SearchPicture& picture)
{
    if (!picture.layer)
        return;
    const SearchTrace& trace = *picture.trace;
    refreshArrays(trace);
    const int step = picture.step;
    if (cache->arrays.order.vertices.size() > kDenseLayer) {
        drawDenseLayer(trace, step);
    } else {
        glPointSize(kSearchPointSize);
        glEnableClientState(GL_VERTEX_ARRAY);
        // Everything reached in the waiting colour, then the expanded part over it.
        drawPrefix(cache->arrays.reachedXY, reachedCount(cache->arrays.order, step), kWaitingColour);
        drawPrefix(cache->arrays.backReachedXY, backReached(step), kBackWaitingColour);
        drawPrefix(cache->arrays.expandedXY, std::min(step, stepCount(trace)), kExpandedColour);
        drawPrefix(cache->arrays.backExpandedXY, backExpanded(step), kBackExpandedColour);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    drawMeeting(trace, step);
    drawSelections(); // the layer covers the selection dots' centres; put them back on top
    drawReplayMarks(picture);
}

void drawSearchText(const SearchPicture& picture)
{
    for (const TextPanel& panel : picture.panels)
        drawPanel(panel);
}
