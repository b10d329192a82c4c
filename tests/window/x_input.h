// Synthetic mouse and keyboard input through the XTest extension.
#pragma once

#include <X11/Xlib.h>

enum Modifier : unsigned { kNoModifier = 0, kCtrl = 1, kShift = 2, kAlt = 4 };
enum MouseButton : unsigned { kLeftButton = 1, kRightButton = 3 };

// Moves the pointer to window position (x, y) and presses and releases button there,
// holding the modifier keys (a Modifier mask) around the click.
void clickAt(Display* display, Window window, int x, int y, MouseButton button, unsigned modifiers);

// Presses and releases the key that types keysymName ("q", "1", "Escape").
void pressKey(Display* display, const char* keysymName);
