#include <GL/freeglut.h>

#include "window/overlays.h"
#include "ui/status.h"

constexpr int kMargin = 6;
constexpr int kLineHeight = 15; // GLUT_BITMAP_9_BY_15
constexpr int kCharWidth = 9;

// Yellow on black: no colour of the scene, readable over any of them.
void drawStatusLine()
{
    const std::string text = statusAt(statusClock());
    if (text.empty())
        return;
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    const int width = static_cast<int>(text.size()) * kCharWidth + 2 * kMargin;
    const int top = height - kLineHeight - 2 * kMargin;
    glColor3f(0.0f, 0.0f, 0.0f);
    glRectf(0.0f, static_cast<float>(top), static_cast<float>(width), static_cast<float>(height));
    glColor3f(1.0f, 1.0f, 0.0f);
    glRasterPos2f(static_cast<float>(kMargin), static_cast<float>(height - kMargin - 3));
    glutBitmapString(GLUT_BITMAP_9_BY_15, reinterpret_cast<const unsigned char*>(text.c_str()));
}
