// glBegin, glVertex2f and glEnd for the browser: its GL emulation gathers a
// glBegin ... glEnd run in one fixed 2 MB buffer and fails past it (about
// 130,000 vertices), which a big map's points and links pass many times
// over. These hand each run on in chunks it can hold.
#include <GL/gl.h>

// The emulation's own calls, under the names it also gives them.
extern "C" {
void emscripten_glBegin(GLenum mode);
void emscripten_glEnd();
void emscripten_glVertex2f(GLfloat x, GLfloat y);
}

// A whole number of points, lines, quads; a quarter of what the buffer holds
// even with a colour for every vertex.
constexpr int kChunkVertices = 16384;

struct ImmediateRun {
    GLenum mode = GL_POINTS;
    int count = 0; // vertices in the current chunk
    GLfloat lastX = 0.0f, lastY = 0.0f;
};

static ImmediateRun run;

void glBegin(GLenum mode)
{
    run.mode = mode;
    run.count = 0;
    emscripten_glBegin(mode);
}

// A chunk ends and the next begins; a strip's next chunk starts where the
// last one stopped, so it stays unbroken.
static void nextChunk()
{
    emscripten_glEnd();
    emscripten_glBegin(run.mode);
    run.count = 0;
    if (run.mode == GL_LINE_STRIP) {
        emscripten_glVertex2f(run.lastX, run.lastY);
        run.count = 1;
    }
}

void glVertex2f(GLfloat x, GLfloat y)
{
    if (run.count == kChunkVertices)
        nextChunk();
    emscripten_glVertex2f(x, y);
    run.lastX = x;
    run.lastY = y;
    ++run.count;
}

void glEnd()
{
    emscripten_glEnd();
}
