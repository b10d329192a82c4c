#include <GL/freeglut.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "graph/scene.h"
#include "route/prepared.h"
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

static LayerArrays arrays;
// The dense layer's image: the arrays' vertices after imageStep expansions,
// in a window of imageWidth x imageHeight; -1 steps when none is painted.
static std::vector<std::uint8_t> layerImage;
static int imageStep = -1, imageWidth = 0, imageHeight = 0;
static ViewTransform imageView;

static void appendXY(std::vector<float>& xy, int vertex)
{
    xy.push_back(scene.vertices[static_cast<std::size_t>(vertex)].x);
    xy.push_back(scene.vertices[static_cast<std::size_t>(vertex)].y);
}

static void refreshArrays(const SearchTrace& trace)
{
    if (arrays.generation == trace.generation && arrays.revision == graphRevision())
        return;
    arrays.generation = trace.generation;
    arrays.revision = graphRevision();
    imageStep = -1;
    arrays.order = reachOrder(trace);
    arrays.reachedXY.clear();
    arrays.expandedXY.clear();
    for (int vertex : arrays.order.vertices)
        appendXY(arrays.reachedXY, vertex);
    for (int vertex : trace.expanded)
        appendXY(arrays.expandedXY, vertex);
    arrays.backReachedXY.clear();
    arrays.backExpandedXY.clear();
    arrays.backReachSteps.clear();
    arrays.backExpansions.clear();
    for (std::size_t i = 0; i < arrays.order.vertices.size(); ++i) {
        const std::size_t vertex = static_cast<std::size_t>(arrays.order.vertices[i]);
        if (vertex < trace.side.size() && trace.side[vertex] == 1) {
            appendXY(arrays.backReachedXY, arrays.order.vertices[i]);
            arrays.backReachSteps.push_back(arrays.order.steps[i]);
        }
    }
    for (std::size_t i = 0; i < trace.expandedSide.size() && i < trace.expanded.size(); ++i)
        if (trace.expandedSide[i] == 1) {
            appendXY(arrays.backExpandedXY, trace.expanded[i]);
            arrays.backExpansions.push_back(static_cast<int>(i));
        }
}

// How many of the backward half's vertices had been reached, and expanded, after step expansions.
static int backReached(int step)
{
    return static_cast<int>(std::upper_bound(arrays.backReachSteps.begin(), arrays.backReachSteps.end(), step) -
                            arrays.backReachSteps.begin());
}

static int backExpanded(int step)
{
    return static_cast<int>(std::lower_bound(arrays.backExpansions.begin(), arrays.backExpansions.end(), step) -
                            arrays.backExpansions.begin());
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

// Jump Point Search's jumps reached by step: a line from each jump point
// to the one it was reached from.
static void drawJumps(const SearchTrace& trace, int step)
{
    if (trace.mode != SearchMode::Jps)
        return;
    const int reached = reachedCount(arrays.order, step);
    setColour(kJumpColour);
    glBegin(GL_LINES);
    for (int i = 0; i < reached; ++i) {
        const std::size_t vertex = static_cast<std::size_t>(arrays.order.vertices[static_cast<std::size_t>(i)]);
        const int parent = vertex < trace.parent.size() ? trace.parent[vertex] : -1;
        if (parent < 0 || parent >= static_cast<int>(scene.vertices.size()))
            continue;
        glVertex2f(scene.vertices[static_cast<std::size_t>(parent)].x, scene.vertices[static_cast<std::size_t>(parent)].y);
        glVertex2f(scene.vertices[vertex].x, scene.vertices[vertex].y);
    }
    glEnd();
}

void drawLandmarks()
{
    const PreparedGraph* prepared = currentScenePreparation();
    if (searchMode != SearchMode::Alt || prepared == nullptr || !prepared->landmarksMade)
        return;
    for (const auto& [colour, size] : {std::pair<Colour, float>{kReplayColour, kLandmarkSize},
                                       std::pair<Colour, float>{kLandmarkColour, kLandmarkSize - 4.0f}}) {
        setColour(colour);
        glPointSize(size);
        glBegin(GL_POINTS);
        for (int vertex : prepared->landmarks.vertices)
            if (vertex < static_cast<int>(scene.vertices.size()))
                glVertex2f(scene.vertices[static_cast<std::size_t>(vertex)].x,
                           scene.vertices[static_cast<std::size_t>(vertex)].y);
        glEnd();
    }
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

static void drawDenseLayer(const SearchTrace& trace, int step)
{
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    const ViewTransform view = currentView();
    if (step != imageStep || width != imageWidth || height != imageHeight || view.scale != imageView.scale ||
        view.left != imageView.left || view.top != imageView.top) {
        paintLayer(layerImage, width, height, view, arrays.reachedXY, reachedCount(arrays.order, step),
                   kWaitingColour, arrays.expandedXY, std::min(step, stepCount(trace)), kExpandedColour);
        imageStep = step;
        imageWidth = width;
        imageHeight = height;
        imageView = view;
    }
    usePixelProjection();
    // Just inside the bottom-left pixel, so the image lands on whole pixels.
    glRasterPos2f(-0.25f, static_cast<float>(height) - 0.75f);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, layerImage.data());
    glDisable(GL_ALPHA_TEST);
    useMapProjection();
}

void drawSearchLayer(const SearchPicture& picture)
{
    if (!picture.layer)
        return;
    const SearchTrace& trace = *picture.trace;
    refreshArrays(trace);
    const int step = picture.step;
    if (arrays.order.vertices.size() > kDenseLayer) {
        drawDenseLayer(trace, step);
    } else {
        glPointSize(kSearchPointSize);
        glEnableClientState(GL_VERTEX_ARRAY);
        // Everything reached in the waiting colour, then the expanded part over it.
        drawPrefix(arrays.reachedXY, reachedCount(arrays.order, step), kWaitingColour);
        drawPrefix(arrays.backReachedXY, backReached(step), kBackWaitingColour);
        drawPrefix(arrays.expandedXY, std::min(step, stepCount(trace)), kExpandedColour);
        drawPrefix(arrays.backExpandedXY, backExpanded(step), kBackExpandedColour);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    drawJumps(trace, step);
    drawMeeting(trace, step);
    drawSelections(); // the layer covers the selection dots' centres; put them back on top
    drawReplayMarks(picture);
}

void drawSearchText(const SearchPicture& picture)
{
    for (const TextPanel& panel : picture.panels)
        drawPanel(panel);
}
