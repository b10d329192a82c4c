// One full frame of the lattice with a route, drawn by the program's own
// display callback. Needs a window, so it only exists when a display does.
#pragma once

// Opens an 800 x 600 GLUT window set up as the program sets up its own.
// False, touching nothing, when no X display can be reached.
bool openFrameWindow(int* argc, char** argv);

// Registers the frame benchmarks; call only after openFrameWindow succeeded.
void registerFrameBenchmarks();
