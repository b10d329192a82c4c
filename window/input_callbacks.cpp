#include <GL/glut.h>

#include <cstdlib>

#include "ui/document.h"
#include "ui/input.h"
#include "window/callbacks.h"

static_assert(kLeftButton == GLUT_LEFT_BUTTON && kRightButton == GLUT_RIGHT_BUTTON);
static_assert(kButtonDown == GLUT_DOWN);
static_assert(kModifierShift == GLUT_ACTIVE_SHIFT && kModifierCtrl == GLUT_ACTIVE_CTRL &&
              kModifierAlt == GLUT_ACTIVE_ALT);

void onMouse(int button, int state, int x, int y)
{
    if (handleMouse(button, state, x, y, glutGetModifiers()))
        glutPostRedisplay();
}

void onKeyboard(unsigned char key, int x, int y)
{
    if (!handleKey(key, x, y)) {
        keepUnsavedWork();
        std::exit(0);
    }
}

void onClose()
{
    keepUnsavedWork();
}
