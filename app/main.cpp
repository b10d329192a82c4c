#include <cstdio>
#include <ctime>
#include <new>

#include "app/command_line.h"
#include "app/commands.h"
#include "app/usage.h"
#include "graph/history.h"
#include "mapgen/random.h"
#include "ui/document.h"
#include "window/window.h"

static int runProgram(int argc, char** argv)
{
    const CommandLine line = parseCommandLine(argc, argv);
    if (line.command != Command::Window)
        return runCommand(line, stdout, stderr);
    applyCostsOption(line);
    // A map that cannot be read stops the program before any window opens.
    Scene map;
    const bool withMap = !line.words.empty();
    if (withMap && !loadMapOrComplain(line.words[0], map, stderr))
        return 2;

    randomSeed(static_cast<std::uint32_t>(std::time(nullptr)));
    openWindow(argc, argv);
    if (withMap && !openDocument(std::move(map), line.words[0])) {
        std::fprintf(stderr, "vialoom: %s: not enough memory to open it\n", line.words[0].c_str());
        return 2;
    }
    if (withMap)
        clearHistory(); // the opened map is where undo stops
    writeUsage();
    runEventLoop();
    return 0;
}

int main(int argc, char** argv)
{
    try {
        return runProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("vialoom: not enough memory\n", stderr);
        return 2;
    }
}
