// What the command line asks for. The window takes no words of its own but
// one map file; GLUT's own options (-display, -geometry, ...) go to GLUT.
#pragma once

#include <string>
#include <vector>

enum class Command {
    Window,  // open the window, with file loaded when given
    Help,    // --help, -h
    Version, // --version
    Route,   // route FILE FROM TO
    Check,   // check SCENFILE [MAPFILE]
    Convert, // convert IN OUT [--from N --to M] [--view]
    Wrong,   // anything else: error holds the one line to print
};

struct CommandLine {
    Command command = Command::Window;
    std::vector<std::string> words; // the words after the command (or the map file for Window)
    std::string error;
};

// Reads argv without changing it. No arguments at all is the plain window.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The --help text: synopsis, commands, keys and mouse.
std::string helpText();
