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

// Called after each frame: the window is redrawn only when something changed
// (GLUT redraws after input, exposure and resizing), so this asks for the next
// frame only when the picture will change by itself: at once while a replay
// plays (at most 60 frames a second), or when the status message goes.
void scheduleRedraw();
