// The GLUT callbacks of the window: drawing and input.
#pragma once

// Draws the frame, points and links from the scene cache, and swaps buffers;
// changes nothing in the scene.
void onDisplay();

// Applies a mouse event and asks for a redraw unless nothing could change.
void onMouse(int button, int state, int x, int y);

// Applies a key and asks for a redraw; the quit keys end the process with
// status 0.
void onKeyboard(unsigned char key, int x, int y);

// Arrow keys move the view; other special keys do nothing.
void onSpecialKey(int key, int x, int y);

// The pointer moved with a button held: a middle-button drag pans.
void onDrag(int x, int y);

// The window manager closes the window: unsaved work is kept, then GLUT ends the process.
void onClose();
