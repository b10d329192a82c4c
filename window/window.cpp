#include "window/window.h"

#include <GL/freeglut.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/error_text.h"
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

// freeglut's fatal errors: left to itself it prints its own line and exits
// 1, the status 'route' keeps for "no route". Its only return from here
// would be into a crash, so this ends the program as a failed start does.
static void onGlutError(const char* format, va_list arguments)
{
    std::string reason;
    if (std::strcmp(format, "failed to open display '%s'") == 0) {
        const char* name = va_arg(arguments, const char*);
        reason = name == nullptr || *name == '\0' ? "cannot open the display (DISPLAY is not set)"
                                                  : "cannot open the display (cannot reach display '" +
                                                        std::string(name) + "')";
    } else {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        reason = std::string("cannot open the window: ") + text;
    }
    std::fprintf(stderr, "vialoom: %s\n", printableText(reason).c_str());
    std::exit(2);
}

void openWindow(int& argc, char** argv)
{
    glutInitErrorFunc(onGlutError);
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
