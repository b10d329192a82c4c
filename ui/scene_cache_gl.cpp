// glWindowPos2i is OpenGL 1.4, declared only in glext.h.
#define GL_GLEXT_PROTOTYPES
#include "ui/scene_cache.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <vector>

#include "graph/scene.h"
#include "ui/layers.h"

constexpr std::size_t kChannels = 4; // RGBA; alpha carries the link mask
constexpr GLubyte kLinkAlpha = 255;

// What the kept pixels were drawn from; any difference makes them stale.
struct CacheKey {
    std::uint64_t revision = 0;
    std::size_t vertexCount = 0;
    const Vertex* vertexData = nullptr;
    GLint viewport[4] = {};
    GLfloat clearColour[4] = {};
};

// The viewport's pixels, bottom row first, as points then links left them;
// alpha is kLinkAlpha where a link was drawn and 0 elsewhere.
static std::vector<GLubyte> keptPixels;
static CacheKey keptKey;
static bool kept = false;
static std::uint64_t captureCount = 0;

static CacheKey currentKey()
{
    CacheKey key;
    key.revision = verticesRevision;
    key.vertexCount = vertices.size();
    key.vertexData = vertices.data();
    glGetIntegerv(GL_VIEWPORT, key.viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, key.clearColour);
    return key;
}

static bool sameKey(const CacheKey& a, const CacheKey& b)
{
    return a.revision == b.revision && a.vertexCount == b.vertexCount &&
           a.vertexData == b.vertexData && std::equal(a.viewport, a.viewport + 4, b.viewport) &&
           std::equal(a.clearColour, a.clearColour + 4, b.clearColour);
}

// Reads the viewport of the back buffer, where this frame is being drawn.
static void readViewport(const GLint* viewport, std::vector<GLubyte>& pixels)
{
    pixels.resize(static_cast<std::size_t>(viewport[2]) * static_cast<std::size_t>(viewport[3]) *
                  kChannels);
    glReadBuffer(GL_BACK);
    glReadPixels(viewport[0], viewport[1], viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
}

// Links alone over black tell which pixels they cover (they are never black);
// points alone over the ground give the rest. Each layer is rasterised once.
static void capture(const CacheKey& key)
{
    std::vector<GLubyte> links;
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawLinks();
    readViewport(key.viewport, links);
    glClearColor(key.clearColour[0], key.clearColour[1], key.clearColour[2], key.clearColour[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    drawPoints();
    readViewport(key.viewport, keptPixels);
    for (std::size_t i = 0; i < keptPixels.size(); i += kChannels) {
        const bool link = (links[i] | links[i + 1] | links[i + 2]) != 0;
        if (link)
            std::copy(&links[i], &links[i + 3], &keptPixels[i]);
        keptPixels[i + 3] = link ? kLinkAlpha : 0;
    }
    keptKey = key;
    kept = true;
    ++captureCount;
}

// Draws the kept pixels where they were read, all of them or only the links.
// The alpha they carry is a mask, so it never reaches the colour buffer.
static void drawKept(bool linksOnly)
{
    const GLint* viewport = keptKey.viewport;
    if (keptPixels.empty())
        return;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    if (linksOnly) {
        glAlphaFunc(GL_GREATER, 0.5f);
        glEnable(GL_ALPHA_TEST);
    }
    glWindowPos2i(viewport[0], viewport[1]);
    glDrawPixels(viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, keptPixels.data());
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

void forgetSceneCache()
{
    kept = false;
    keptPixels.clear();
    keptPixels.shrink_to_fit();
}

std::uint64_t sceneCaptureCount()
{
    return captureCount;
}
