#include <GL/glut.h>

#include <cstdlib>

#include "ui/document.h"
#include "ui/input.h"
#include "window/callbacks.h"

static_assert(kLeftButton == GLUT_LEFT_BUTTON && kRightButton == GLUT_RIGHT_BUTTON);
static_assert(kMiddleButton == GLUT_MIDDLE_BUTTON);
static_assert(kButtonDown == GLUT_DOWN);
static_assert(kArrowLeft == GLUT_KEY_LEFT && kArrowUp == GLUT_KEY_UP && kArrowRight == GLUT_KEY_RIGHT &&
              kArrowDown == GLUT_KEY_DOWN);
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
    glutPostRedisplay();
}

void onSpecialKey(int key, int, int)
{
    handleArrow(key);
    glutPostRedisplay();
}

void onDrag(int x, int y)
{
    if (handleDrag(x, y))
        glutPostRedisplay();
}

void onClose()
{
    keepUnsavedWork();
}
