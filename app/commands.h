// The commands that run without a window: help, version, route, check,
// convert, and the one-line complaint about a wrong command line.
#pragma once

#include <cstdio>

#include "app/command_line.h"
#include "graph/scene.h"

// Runs a command other than Window; returns the exit status (0 done, 1 no
// route or a failed check, 2 a wrong command line, an unreadable file or not
// enough memory, said in one line "vialoom: COMMAND: not enough memory").
int runCommand(const CommandLine& line, std::FILE* out, std::FILE* err);

// Prints "vialoom: TEXT" and a line end to err, TEXT made printable (see
// files/error_text.h): file names and words from the command line are echoed
// in it.
void complain(std::FILE* err, const std::string& text);

// Reads the map a command or the window opens; on failure prints the one-line
// error to err and returns false.
bool loadMapOrComplain(const std::string& path, Scene& map, std::FILE* err);

// Makes the line's --costs (or its absence) rule every map read from now on.
void applyCostsOption(const CommandLine& line);
