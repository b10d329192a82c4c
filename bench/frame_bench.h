// Whole frames, cached and drawn directly, of the 40 x 40 lattice and of the
// 1000 x 1000 one with a route, and the idle event loop's processor use.
// Needs a window, so they only exist when a display does.
#pragma once

// Opens an 800 x 600 GLUT window set up as the program sets up its own.
// False, touching nothing, when no X display can be reached.
bool openFrameWindow(int* argc, char** argv);

// Makes the scene the generated lattice (a fixed seed) with the longest route
// from corner 0 it holds; ends the process if it holds none.
void setUpGridRoute();

// Registers the frame benchmarks; call only after openFrameWindow succeeded.
void registerFrameBenchmarks();
