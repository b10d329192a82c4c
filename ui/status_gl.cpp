#include <GL/glut.h>

#include "ui/overlays.h"
#include "ui/status.h"

void drawStatusLine() {}
