#include <GL/glut.h>

#include <ctime>

#include "app/random.h"
#include "app/usage.h"
#include "app/window.h"
#include "ui/callbacks.h"

int main(int argc, char** argv)
{
    randomSeed(static_cast<std::uint32_t>(std::time(nullptr)));
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowSize(800, 600);
    glutCreateWindow("Vialoom");
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutIdleFunc(onIdle);
    glutDisplayFunc(onDisplay);
    glutMouseFunc(onMouse);
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    writeUsage();
    glutMainLoop();
    return 0;
}
