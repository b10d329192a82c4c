#include "window/window.h"

#include <GL/glut.h>

#include "ui/search_view.h"
#include "window/frame_pacing.h"

void onReshape(int width, int height)
{
    glViewport(0, 0, width, height);
    glLoadIdentity();
    // Half-pixel offsets put integer coordinates on pixel centres.
    glOrtho(-0.5, width - 0.5, height - 0.5, -0.5, -1.0, 1.0);
    setViewSize(width, height);
}

void onIdle()
{
    waitForFrameSlot();
    glutPostRedisplay();
}
