#include "x_server.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

bool startXServer(XServer& server)
{
    // -displayfd 1: the server writes the number it chose to its stdout once it listens.
    server.process = spawnProcess({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                   "-nolisten", "tcp"},
                                  currentEnvironment(), false);
    if (server.process.pid < 0)
        return false;
    std::string number;
    while (number.empty() || number.back() != '\n') {
        const std::string more = readPipe(server.process.out, 1, 10000);
        if (more.empty())
            return false;
        number += more;
    }
    number.pop_back();
    server.display = ":" + number;
    return true;
}

void stopXServer(XServer& server)
{
    stopProcess(server.process, SIGTERM);
}

std::string unservedDisplay()
{
    for (int number = 97; number < 200; ++number) {
        const std::string name = ":" + std::to_string(number);
        if (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0)
            continue;
        Display* probe = XOpenDisplay(name.c_str());
        if (probe == nullptr)
            return name;
        XCloseDisplay(probe);
    }
    return ":nodisplay";
}
