// The program as a web page: the desktop's start-up, plus the few entry
// points the page calls to hand it a file or to keep unsaved work when the
// tab goes away. The page itself (web/) shows what happens on quitting.
#include <GL/glut.h>
#include <emscripten.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/random.h"
#include "app/usage.h"
#include "app/window.h"
#include "mapio/map_file.h"
#include "ui/callbacks.h"
#include "ui/document.h"

// Saved maps and pictures land here; the page offers each one as a download.
static const char kWorkFolder[] = "/home/web_user/maps";

static std::string lastError;

extern "C" {

// Opens the map file at path (already written into the page's file system).
// Returns "" on success, else the one-line error, also written to stderr;
// a bad file changes nothing.
EMSCRIPTEN_KEEPALIVE const char* vialoomOpenMap(const char* path)
{
    MapData map;
    std::string error;
    if (!readMapFile(path, map, error)) {
        lastError = "vialoom: " + error;
        std::fprintf(stderr, "%s\n", lastError.c_str());
        return lastError.c_str();
    }
    openDocument(std::move(map), path);
    glutPostRedisplay();
    lastError.clear();
    return lastError.c_str();
}

// A key the browser's GLUT does not pass on (CTRL+Z, CTRL+Y), given as the
// character a desktop GLUT reports, at window pixel (x, y).
EMSCRIPTEN_KEEPALIVE void vialoomKey(int key, int x, int y)
{
    onKeyboard(static_cast<unsigned char>(key), x, y);
    glutPostRedisplay();
}

// Keeps unsaved work in the recovery folder, as quitting would.
EMSCRIPTEN_KEEPALIVE void vialoomKeepUnsavedWork()
{
    keepUnsavedWork();
}

} // extern "C"

int main(int argc, char** argv)
{
    mkdir(kWorkFolder, 0755);
    if (chdir(kWorkFolder) != 0)
        std::perror(kWorkFolder);
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
