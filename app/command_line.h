// What the command line asks for. The window takes no words of its own but
// one map file; GLUT's own options (-display, -geometry, ...) go to GLUT.
#pragma once

#include <string>
#include <vector>

#include "route/search.h"

enum class Command {
    Window,  // open the window, with file loaded when given
    Help,    // --help, -h
    Version, // --version
    Route,   // route FILE FROM TO
    Check,   // check SCENFILE [MAPFILE]
    Convert, // convert IN OUT [--from N --to M] [--view]
    Compare, // compare MAPFILE FROM TO [--heuristic H] [--weight W] [--csv]
    Wrong,   // anything else: error holds the one line to print
};

struct CommandLine {
    Command command = Command::Window;
    std::vector<std::string> words; // the words after the command (or the map file for Window): those
                                    // that are no option first, then the options in their order
    std::string costs;              // --costs VALUE anywhere after the command word: "distance", "time" or ""
    std::string error;
    SearchChoice choice;            // --algorithm, --heuristic, --weight, taken out of words
    bool algorithmGiven = false;
    bool csv = false;               // --csv, taken out of words
};

// Reads argv without changing it. No arguments at all is the plain window.
// After a command word, options may stand anywhere: --algorithm NAME,
// --heuristic NAME and --weight W (a number of at least 1) fill choice, and an
// unknown name is a Wrong line that lists the known ones; --csv sets csv; the
// other options (--from N, --to M, --view, anything else starting "--") are
// moved behind the words that are none, for the command to read.
CommandLine parseCommandLine(int argc, const char* const* argv);

// One form of the command line as --help and the manual page show it: the
// words ("vialoom route MAPFILE FROM TO", capitals stand for what the user
// gives) and what that form does; does is nullptr for the last form,
// "vialoom --help | --version", whose options kOptionRows describe.
struct CommandForm {
    const char* synopsis;
    const char* does;
};
extern const CommandForm kCommandForms[];
extern const int kCommandFormCount;

// Every option a form's synopsis names, as the manual page lists them: the
// option with its value ("--from N") and what it does.
struct OptionRow {
    const char* shown;
    const char* does;
};
extern const OptionRow kOptionRows[];
extern const int kOptionRowCount;

// The --help text: the forms, map files and exit statuses, keys and mouse.
std::string helpText();
