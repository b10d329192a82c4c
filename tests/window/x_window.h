// Finding the program's window and reading what it shows.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

struct Rgb {
    int r = 0, g = 0, b = 0;
};
bool operator==(const Rgb& a, const Rgb& b);
bool operator!=(const Rgb& a, const Rgb& b);

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // row by row from the top-left corner
};

// Waits up to timeoutMs for a viewable top-level window with this title; 0 on timeout.
Window findWindow(Display* display, const std::string& title, int timeoutMs);

// The window's title, empty when it has none.
std::string windowTitle(Display* display, Window window);

// The client area as it is shown now, in window coordinates; empty when unreadable.
Image grabWindow(Display* display, Window window);

// The pixel at window position (x, y); black outside the image.
Rgb pixelAt(const Image& image, int x, int y);

// Grabs the window every few milliseconds until condition holds or timeoutMs passes;
// returns whether it held. The last grab is left in *last.
bool waitForImage(Display* display, Window window, const std::function<bool(const Image&)>& condition,
                  int timeoutMs, Image* last);
