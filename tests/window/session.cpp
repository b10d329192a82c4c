#include "session.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>

#include "x_window.h"

// A window that goes away under a grab must fail the test, not abort the test binary.
static int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

std::vector<std::string> programEnvironment(const std::string& display)
{
    std::vector<std::string> env{"DISPLAY=" + display, "LANG=C.UTF-8",
                                 "PATH=/usr/local/bin:/usr/bin:/bin"};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    return env;
}

bool startSession(Session& session)
{
    if (!startXServer(session.server)) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return false;
    }
    session.display = XOpenDisplay(session.server.display.c_str());
    if (session.display == nullptr) {
        std::fprintf(stderr, "cannot connect to %s\n", session.server.display.c_str());
        return false;
    }
    XSetErrorHandler(ignoreXError);
    session.program = spawnProcess({VIALOOM_PROGRAM}, programEnvironment(session.server.display), true);
    if (session.program.pid < 0) {
        std::fprintf(stderr, "cannot start %s\n", VIALOOM_PROGRAM);
        return false;
    }
    session.window = findWindow(session.display, "Vialoom", 15000);
    if (session.window == 0) {
        std::fprintf(stderr, "no window titled Vialoom appeared\n");
        return false;
    }
    // With no window manager the window stays at (-1, -1), its top row and left column off
    // screen, where XGetImage refuses to read; bring it fully onto the screen.
    XMoveWindow(session.display, session.window, 0, 0);
    XSync(session.display, False);
    return true;
}

void endSession(Session* session)
{
    stopProcess(session->program, SIGKILL);
    if (session->display != nullptr) {
        XCloseDisplay(session->display);
        session->display = nullptr;
    }
    stopXServer(session->server);
}
