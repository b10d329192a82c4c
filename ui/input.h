// What a mouse press or a key does to the scene, free of any window system,
// so the rules can be exercised without a display. The constants carry the
// values GLUT reports.
#pragma once

constexpr int kLeftButton = 0;
constexpr int kRightButton = 2;
constexpr int kButtonDown = 0;
constexpr int kModifierShift = 1;
constexpr int kModifierCtrl = 2;
constexpr int kModifierAlt = 4;

// Applies one mouse event at window pixel (x, y) with the modifiers held.
// Returns false only when a modifier click found no vertex to act on (empty
// graph): nothing changed and no redraw is wanted.
bool handleMouse(int button, int state, int x, int y, int modifiers);

// Applies one key, the pointer at window pixel (x, y). Returns false when the
// key asks to end the program.
bool handleKey(unsigned char key, int x, int y);
