// The one window: opening it, its pixel projection, the redraw pump and the
// event loop.
#pragma once

// Lets GLUT take its own options from the command line, opens the 800 x 600
// window "Vialoom", wires every callback and sets the grey ground.
// Without a display (or on any other fault GLUT cannot go on from) it prints
// "vialoom: cannot open the display (DISPLAY is not set)", or "(cannot reach
// display ':1')", and ends the program with exit status 2.
void openWindow(int& argc, char** argv);

// Hands the thread to GLUT's event loop until the program ends.
void runEventLoop();

// Makes one unit one pixel, origin at the top-left pixel, y growing down, and
// tells the view the window's new size.
void onReshape(int width, int height);

// Asks for a redraw whenever the event loop is idle, at most kFramesPerSecond
// times a second.
void onIdle();
