#include "window/window.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/error_text.h"
#include "route/prepared.h"
#include "ui/hierarchy_build.h"
#include "ui/palette.h"
#include "ui/search_view.h"
#include "ui/status.h"
#include "window/callbacks.h"
#include "window/projection.h"

// Frames a second, at most, while the picture moves by itself (a replay).
constexpr int kFramesPerSecond = 60;
// A wait longer than this (infinity: the picture rests) sets no timer.
constexpr double kLongestWait = 3600.0;

// Timers ask for a redraw only if no frame came since they were set.
static int redrawGeneration = 0;

static void onRedrawTimer(int generation)
{
    if (generation == redrawGeneration)
        glutPostRedisplay();
}

void onReshape(int width, int height)
{
    glViewport(0, 0, width, height);
    usePixelProjection();
    setViewSize(width, height);
}

void scheduleRedraw()
{
    pollHierarchyBuild();
    ++redrawGeneration;
    const double wait = secondsUntilPictureChanges(statusClock());
    if (!(wait < kLongestWait))
        return;
    const double period = 1.0 / kFramesPerSecond;
    const unsigned milliseconds = static_cast<unsigned>(std::ceil(std::max(wait, period) * 1000.0));
    glutTimerFunc(milliseconds, onRedrawTimer, redrawGeneration);
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

// Long preparation (landmarks on a large map) blocks the event loop: its
// progress goes to the status line, drawn there and then.
static void showPreparation(const char* work, int done, int total)
{
    showStatus(std::string(work) + "... " + std::to_string(done) + " of " + std::to_string(total));
    onDisplay();
}

void openWindow(int& argc, char** argv)
{
    preparationProgress = showPreparation;
    glutInitErrorFunc(onGlutError);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowSize(800, 600);
    glutCreateWindow("Vialoom");
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialKey);
    glutDisplayFunc(onDisplay);
    glutMouseFunc(onMouse);
    glutMotionFunc(onDrag);
    glutCloseFunc(onClose);
    glClearColor(kBackgroundColour.red, kBackgroundColour.green, kBackgroundColour.blue, 1.0f);
}

void runEventLoop()
{
    glutMainLoop();
}
