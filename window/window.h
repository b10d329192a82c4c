// The window's own upkeep: its pixel projection and the redraw pump.
#pragma once

// Makes one unit one pixel, origin at the top-left pixel, y growing down, and
// tells the view the window's new size.
void onReshape(int width, int height);

// Asks for a redraw whenever the event loop is idle, at most kFramesPerSecond
// times a second.
void onIdle();
