// Every key and mouse command in one table: what the user presses, what it
// does and, for keys, the characters that run it and the action. The help
// overlay, --help, the web page's list and toolbar, and handleKey all read
// it, so a key, its help line and its button cannot disagree.
#pragma once

#include <string>
#include <vector>

// A key's work, the pointer at window pixel (x, y); false ends the program.
using KeyAction = bool (*)(int x, int y);

// The characters that run one action as GLUT reports them: both cases of a
// letter, control characters such as 26 for CTRL+Z. Never 0.
// button names it on the web page's toolbar, which runs the first byte: at
// once, or at the next tap's position when the action reads the pointer.
struct KeyBinding {
    const char* bytes = "";
    KeyAction action = nullptr;
    const char* button = nullptr; // nullptr: no toolbar button
    bool atPointer = false;       // the action acts on the vertex under the pointer
};

// A mouse row on the web page's toolbar: a button that makes the next tap
// (or click) on the drawing this mouse button with these modifiers, the
// values of ui/input.h. Touch screens have no modifier keys nor right button.
// A click that does not depend on where it lands runs at once.
struct TapBinding {
    const char* button = nullptr; // nullptr: a plain tap already does it
    int mouseButton = 0;
    int modifiers = 0;
    bool anywhere = false;
};

// One help line: what the user presses as shown ("u, CTRL+Z") and what it
// does; a section's title alone has does == nullptr. A pair of opposite keys
// shown as ".  ," binds each, in the order shown. Mouse rows and the arrows
// bind nothing (they go to handleMouse, handleDrag and handleArrow).
struct KeyRow {
    const char* shown;
    const char* does = nullptr;
    KeyBinding bindings[2] = {};
    TapBinding tap = {};
};

// The table in the order it is shown: "Keys (a letter and its capital do the
// same)", its rows, then "Mouse" and its rows.
extern const KeyRow kKeyRows[];
extern const int kKeyRowCount;

// The action key runs; nullptr when it runs none (0 and 128-255 included).
KeyAction keyAction(unsigned char key);

// The table as help lines: a section's title, else "  " and the keys in 14
// columns, then what they do.
std::vector<std::string> keyHelpLines();

// The table for a page: "KEYS\tWHAT\n" a row, a section's title alone on its line.
std::string keyTableText();

// The web page's toolbar in table order, one button a line, "LABEL\tDO\tWHAT\n",
// DO one of: "key CODE" runs the key whose byte is CODE (decimal) at once;
// "key-at CODE" runs it at the next tap; "tap BUTTON MODIFIERS" makes the
// next tap that click; "click BUTTON MODIFIERS" clicks at once. Bindings and
// mouse rows without a button label are left out.
std::string toolbarText();
