// What a mouse press or a key does to the scene, free of any window system,
// so the rules can be exercised without a display. The constants carry the
// values GLUT reports.
#pragma once

constexpr int kLeftButton = 0;
constexpr int kMiddleButton = 1;
constexpr int kRightButton = 2;
constexpr int kWheelUp = 3; // a wheel notch comes as a press of button 3 or 4
constexpr int kWheelDown = 4;
constexpr int kButtonDown = 0;
// GLUT's special keys for the arrows.
constexpr int kArrowLeft = 100;
constexpr int kArrowUp = 101;
constexpr int kArrowRight = 102;
constexpr int kArrowDown = 103;
// An arrow moves the view by this fraction of the window.
constexpr int kArrowSteps = 8;
constexpr int kModifierShift = 1;
constexpr int kModifierCtrl = 2;
constexpr int kModifierAlt = 4;

// Applies one mouse event at window pixel (x, y) with the modifiers held.
// Clicks act on the map point under the pointer; the wheel zooms about it and
// the middle button starts and ends a drag. With a brush on (ui/brush.h), a
// plain left press opens a stroke instead of adding a vertex; any press or
// release closes an open stroke first. Returns false only when a
// modifier click found no vertex to act on (empty graph): nothing changed and
// no redraw is wanted.
bool handleMouse(int button, int state, int x, int y, int modifiers);

// The pointer moved to window pixel (x, y) with a button held: paints along
// the move while a stroke is open, else pans by it while the middle button is
// down. True when the picture may have changed.
bool handleDrag(int x, int y);

// An arrow key (kArrowLeft ...) moves the view an eighth of the window that
// way, after closing an open stroke; any other key does nothing.
void handleArrow(int arrow);

// Applies one key, the pointer at window pixel (x, y), after closing an open
// stroke. Returns false when the key asks to end the program.
bool handleKey(unsigned char key, int x, int y);
