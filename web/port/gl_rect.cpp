// glRectf, which the browser's GL emulation lacks: the same filled
// rectangle, drawn as one quad in the current colour.
#include <GL/gl.h>

void glRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2)
{
    glBegin(GL_QUADS);
    glVertex2f(x1, y1);
    glVertex2f(x2, y1);
    glVertex2f(x2, y2);
    glVertex2f(x1, y2);
    glEnd();
}
