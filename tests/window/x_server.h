// A private X server per test, so tests can run side by side.
#pragma once

#include <string>

#include "process.h"

struct XServer {
    ChildProcess process;
    std::string display;  // e.g. ":3"
};

// Starts Xvfb with one 1024x768 24-bit screen on a display number it picks itself;
// false when it did not come up within a few seconds.
bool startXServer(XServer& server);

// Terminates the server and reaps it.
void stopXServer(XServer& server);

// A display name on which no X server answers, for start-up failure tests.
std::string unservedDisplay();
