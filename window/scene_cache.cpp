// glWindowPos2i is OpenGL 1.4, declared only in glext.h.
#define GL_GLEXT_PROTOTYPES
#include "window/scene_cache.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <vector>

#include "graph/scene.h"
#include "window/layers.h"

constexpr std::size_t kChannels = 4; // RGBA; alpha carries the mask
constexpr GLubyte kLinkAlpha = 255;
constexpr GLubyte kPointAlpha = 128;
// Alpha-test thresholds that pass links alone, or points and links.
constexpr GLfloat kLinksOnly = 0.75f;
constexpr GLfloat kPointsAndLinks = 0.25f;

// What the kept pixels were drawn from: the graph and the window's size.
struct CacheKey {
    std::uint64_t revision = 0;
    GLint viewport[4] = {};
};

// A rectangle of window pixels, from its bottom-left corner.
struct PixelRect {
    GLint x = 0, y = 0, width = 0, height = 0;
};

// The pixels of keptRect, bottom row first, as points then links left them;
// alpha is kLinkAlpha where a link was drawn, kPointAlpha where only a point
// was, 0 on the ground. Outside the rectangle nothing was drawn. The ground's
// colour is never kept, so it is no part of the key.
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
    return key;
}

static bool sameKey(const CacheKey& a, const CacheKey& b)
{
    return a.revision == b.revision && std::equal(a.viewport, a.viewport + 4, b.viewport);
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

static bool drawnOverBlack(const std::vector<GLubyte>& pixels, std::size_t i)
{
    return (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
}

// Marks link pixels in points (taking their colour from links) and returns the
// smallest rectangle, relative to the viewport, outside which nothing was drawn.
static PixelRect mergeLinks(std::vector<GLubyte>& points, const std::vector<GLubyte>& links, GLint width)
{
    GLint left = width, right = -1, bottom = -1, top = -1;
    for (std::size_t i = 0; i < points.size(); i += kChannels) {
        const bool link = drawnOverBlack(links, i);
        const bool point = drawnOverBlack(points, i);
        if (link)
            std::copy(&links[i], &links[i + 3], &points[i]);
        points[i + 3] = link ? kLinkAlpha : point ? kPointAlpha : 0;
        if (link || point) {
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

// Each layer alone over black tells which pixels it covers (neither is ever
// black). Each is rasterised once; the buffer is left cleared to the ground.
static void capture(const CacheKey& key)
{
    const PixelRect viewport{key.viewport[0], key.viewport[1], key.viewport[2], key.viewport[3]};
    std::vector<GLubyte> links, points;
    GLfloat ground[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, ground);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawLinks();
    readRect(viewport, links);
    glClear(GL_COLOR_BUFFER_BIT);
    drawPoints();
    readRect(viewport, points);
    glClearColor(ground[0], ground[1], ground[2], ground[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    const PixelRect drawn = mergeLinks(points, links, viewport.width);
    keepRect(points, viewport.width, drawn);
    keptRect = PixelRect{viewport.x + drawn.x, viewport.y + drawn.y, drawn.width, drawn.height};
    keptKey = key;
    kept = true;
    ++captureCount;
}

// Draws the kept points and links where they were read, or only the links.
// The alpha they carry is a mask, so it never reaches the colour buffer.
static void drawKept(bool linksOnly)
{
    if (keptPixels.empty())
        return;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glAlphaFunc(GL_GREATER, linksOnly ? kLinksOnly : kPointsAndLinks);
    glEnable(GL_ALPHA_TEST);
    glWindowPos2i(keptRect.x, keptRect.y);
    glDrawPixels(keptRect.width, keptRect.height, GL_RGBA, GL_UNSIGNED_BYTE, keptPixels.data());
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
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
