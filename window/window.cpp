#include "window/window.h"

#include <GL/freeglut.h>

#include "ui/palette.h"
#include "ui/search_view.h"
#include "window/callbacks.h"
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

void openWindow(int& argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowSize(800, 600);
    glutCreateWindow("Vialoom");
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutIdleFunc(onIdle);
    glutDisplayFunc(onDisplay);
    glutMouseFunc(onMouse);
    glutCloseFunc(onClose);
    glClearColor(kBackgroundColour.red, kBackgroundColour.green, kBackgroundColour.blue, 1.0f);
}

void runEventLoop()
{
    glutMainLoop();
}
