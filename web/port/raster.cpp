// glDrawPixels for the browser's GL emulation, which has none, drawn as one
// textured quad; and the raster position it starts from. Enough for the
// scene cache and the search view's dense layer: RGBA bytes, the alpha test
// and colour mask applied as GL would, no zoom, the window's pixel
// projection current.
// glWindowPos2i is declared, with C linkage, only in glext.h.
#define GL_GLEXT_PROTOTYPES
#include "web/port/raster.h"

#include <GL/glut.h>
#include <GL/glext.h>

#include <cmath>

float rasterX = 0.0f;
float rasterY = 0.0f;

static GLuint texture = 0;

void glRasterPos2f(GLfloat x, GLfloat y)
{
    rasterX = x;
    rasterY = y;
}

void glRasterPos2i(GLint x, GLint y)
{
    glRasterPos2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
}

void glRasterPos2d(GLdouble x, GLdouble y)
{
    glRasterPos2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
}

// Window coordinates count rows from the bottom.
void glWindowPos2i(GLint x, GLint y)
{
    glRasterPos2f(static_cast<GLfloat>(x), static_cast<GLfloat>(glutGet(GLUT_WINDOW_HEIGHT) - 1 - y));
}

// The page's one buffer is both read and drawn, so there is nothing to choose.
void glReadBuffer(GLenum)
{
}

// The image's first row is the bottom one, its bottom-left pixel the one
// holding the raster position; its texels land on whole pixels.
void glDrawPixels(GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels)
{
    if (width <= 0 || height <= 0 || format != GL_RGBA || type != GL_UNSIGNED_BYTE)
        return;
    if (texture == 0)
        glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float left = std::floor(rasterX + 0.5f) - 0.5f;
    const float bottom = std::floor(rasterY + 0.5f) + 0.5f;
    const float right = left + static_cast<float>(width);
    const float top = bottom - static_cast<float>(height);
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(left, bottom);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(right, bottom);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(right, top);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(left, top);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}
