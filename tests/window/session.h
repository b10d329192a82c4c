// One program under test on its own X server, with a connection to drive it.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "process.h"
#include "x_server.h"

struct Session {
    XServer server;
    Display* display = nullptr;
    ChildProcess program;
    Window window = 0;
};

// The environment the program runs in: DISPLAY, a UTF-8 locale, PATH and the sanitizer
// options of the test's own environment, nothing else.
std::vector<std::string> programEnvironment(const std::string& display);

// Starts a server, connects, starts the program there with stdout and stderr captured and
// waits for its "Vialoom" window; false (with the reason on stderr) on any failure.
bool startSession(Session& session);

// Kills the program and the server and closes the connection; safe after any failure.
void endSession(Session* session);
