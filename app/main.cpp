#include <cstdio>
#include <ctime>

#include "app/command_line.h"
#include "app/commands.h"
#include "app/usage.h"
#include "graph/history.h"
#include "mapgen/random.h"
#include "ui/document.h"
#include "window/window.h"

int main(int argc, char** argv)
{
    const CommandLine line = parseCommandLine(argc, argv);
    if (line.command != Command::Window)
        return runCommand(line, stdout, stderr);
    // A map that cannot be read stops the program before any window opens.
    Scene map;
    const bool withMap = !line.words.empty();
    if (withMap && !loadMapOrComplain(line.words[0], map, stderr))
        return 2;

    randomSeed(static_cast<std::uint32_t>(std::time(nullptr)));
    openWindow(argc, argv);
    if (withMap) {
        openDocument(std::move(map), line.words[0]);
        clearHistory(); // the opened map is where undo stops
    }
    writeUsage();
    runEventLoop();
    return 0;
}
