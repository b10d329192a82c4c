// glWindowPos2i is OpenGL 1.4, declared only in glext.h.
#define GL_GLEXT_PROTOTYPES
#include "window/scene_cache.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <vector>

#include "graph/scene.h"
#include "graph/vertex_grid.h"
#include "ui/detail_picture.h"
#include "ui/palette.h"
#include "ui/view.h"
#include "window/layers.h"
#include "window/projection.h"

constexpr std::size_t kChannels = 4; // RGBA; alpha carries the link mask
constexpr GLubyte kLinkAlpha = 255;

// What the kept pixels were drawn from: the graph, the window's size and the
// view. The ground they were drawn over is the palette's, which the window
// never changes.
struct CacheKey {
    std::uint64_t revision = 0;
    GLint viewport[4] = {};
    ViewTransform view;
};

// A rectangle of window pixels, from its bottom-left corner.
struct PixelRect {
    GLint x = 0, y = 0, width = 0, height = 0;
};

// The pixels of keptRect, bottom row first, as points then links left them;
// alpha is kLinkAlpha where a link was drawn and 0 elsewhere. Around the
// rectangle the viewport holds nothing but the ground.
static std::vector<GLubyte> keptPixels;
static PixelRect keptRect;
static CacheKey keptKey;
static bool kept = false;
static std::uint64_t captureCount = 0;

static CacheKey currentKey()
{
    CacheKey key;
    key.revision = graphRevision();
    glGetIntegerv(GL_VIEWPORT, key.viewport);
    key.view = currentView();
    return key;
}

static bool sameKey(const CacheKey& a, const CacheKey& b)
{
    return a.revision == b.revision && std::equal(a.viewport, a.viewport + 4, b.viewport) &&
           a.view.scale == b.view.scale && a.view.left == b.view.left && a.view.top == b.view.top;
}

// Reads a rectangle of the back buffer, where this frame is being drawn.
static void readRect(const PixelRect& rect, std::vector<GLubyte>& pixels)
{
    pixels.resize(static_cast<std::size_t>(rect.width) * static_cast<std::size_t>(rect.height) *
                  kChannels);
    glReadBuffer(GL_BACK);
    glReadPixels(rect.x, rect.y, rect.width, rect.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

// Copies rect (relative to the whole of pixels, fullWidth wide) into keptPixels.
static void keepRect(const std::vector<GLubyte>& pixels, GLint fullWidth, const PixelRect& rect)
{
    const std::size_t rowBytes = static_cast<std::size_t>(rect.width) * kChannels;
    keptPixels.resize(rowBytes * static_cast<std::size_t>(rect.height));
    for (GLint row = 0; row < rect.height; ++row) {
        const std::size_t from =
            (static_cast<std::size_t>(rect.y + row) * fullWidth + rect.x) * kChannels;
        std::copy(&pixels[from], &pixels[from] + rowBytes, &keptPixels[rowBytes * row]);
    }
}

// Marks link pixels in points (taking their colour from links) and returns the
// smallest rectangle, relative to the viewport, outside which all is ground.
static PixelRect mergeLinks(std::vector<GLubyte>& points, const std::vector<GLubyte>& links,
                            const GLubyte* ground, GLint width)
{
    GLint left = width, right = -1, bottom = -1, top = -1;
    for (std::size_t i = 0; i < points.size(); i += kChannels) {
        const bool link = (links[i] | links[i + 1] | links[i + 2]) != 0;
        if (link)
            std::copy(&links[i], &links[i + 3], &points[i]);
        points[i + 3] = link ? kLinkAlpha : 0;
        if (link || !std::equal(&points[i], &points[i + 3], ground)) {
            const GLint x = static_cast<GLint>(i / kChannels % width);
            const GLint y = static_cast<GLint>(i / kChannels / width);
            left = std::min(left, x);
            right = std::max(right, x);
            if (bottom < 0)
                bottom = y; // rows come bottom first
            top = y;
        }
    }
    if (right < 0)
        return PixelRect{};
    return PixelRect{left, bottom, right - left + 1, top - bottom + 1};
}

// Outside the default view, so many vertices near the window that drawing
// each would take too long: the level-of-detail picture stands in.
static bool wantsDetail()
{
    if (viewIsDefault())
        return false;
    const VertexGrid& grid = sceneGrid();
    const float reach = static_cast<float>(grid.longestLink * currentView().scale);
    return countInBox(grid, visibleMapBox(reach)) > kDetailBudget;
}

static void captureDetail(const CacheKey& key)
{
    const std::vector<DetailLevel>& levels = sceneDetailLevels();
    const ViewTransform view = currentView();
    paintDetail(keptPixels, key.viewport[2], key.viewport[3], view, levels[detailLevelFor(levels, view.scale)],
                kBackgroundColour, kPointColour, kLinkColour);
    keptRect = PixelRect{key.viewport[0], key.viewport[1], key.viewport[2], key.viewport[3]};
}

// Links alone over black tell which pixels they cover (they are never black);
// terrain and points over the ground give the rest. Each layer is rasterised once.
static void capture(const CacheKey& key)
{
    keptKey = key;
    kept = true;
    ++captureCount;
    if (wantsDetail()) {
        captureDetail(key);
        return;
    }
    const PixelRect viewport{key.viewport[0], key.viewport[1], key.viewport[2], key.viewport[3]};
    std::vector<GLubyte> links, points;
    GLubyte ground[kChannels] = {};
    GLfloat clearColour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawLinks();
    readRect(viewport, links);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    if (viewport.width > 0 && viewport.height > 0)
        glReadPixels(viewport.x, viewport.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, ground);
    drawTerrain();
    drawPoints();
    readRect(viewport, points);
    const PixelRect drawn = mergeLinks(points, links, ground, viewport.width);
    keepRect(points, viewport.width, drawn);
    keptRect = PixelRect{viewport.x + drawn.x, viewport.y + drawn.y, drawn.width, drawn.height};
}

// Draws the kept pixels where they were read, all of them or only the links.
// The alpha they carry is a mask, so it never reaches the colour buffer. The
// browser's stand-in for glDrawPixels places the image in the current
// projection, so the window's pixels are made current around it.
static void drawKept(bool linksOnly)
{
    if (keptPixels.empty())
        return;
    usePixelProjection();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    if (linksOnly) {
        glAlphaFunc(GL_GREATER, 0.5f);
        glEnable(GL_ALPHA_TEST);
    }
    glWindowPos2i(keptRect.x, keptRect.y);
    glDrawPixels(keptRect.width, keptRect.height, GL_RGBA, GL_UNSIGNED_BYTE, keptPixels.data());
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    useMapProjection();
}

void putBackPointsAndLinks()
{
    const CacheKey key = currentKey();
    if (!kept || !sameKey(key, keptKey))
        capture(key);
    drawKept(false);
}

void putBackLinks()
{
    drawKept(true);
}

std::uint64_t sceneCaptureCount()
{
    return captureCount;
}
