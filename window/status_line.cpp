#include <GL/freeglut.h>

#include "ui/palette.h"
#include "ui/status.h"
#include "ui/text_panel.h"
#include "window/layers.h"
#include "window/overlays.h"

constexpr int kMargin = 6;

void drawStatusLine()
{
    const std::string text = statusAt(statusClock());
    if (text.empty())
        return;
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    const int width = static_cast<int>(text.size()) * kCharWidth + 2 * kMargin;
    const int top = height - kLineHeight - 2 * kMargin;
    setColour(kStatusGround);
    glRectf(0.0f, static_cast<float>(top), static_cast<float>(width), static_cast<float>(height));
    setColour(kStatusColour);
    glRasterPos2f(static_cast<float>(kMargin), static_cast<float>(height - kMargin - 3));
    glutBitmapString(GLUT_BITMAP_9_BY_15, reinterpret_cast<const unsigned char*>(text.c_str()));
}
