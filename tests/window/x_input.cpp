#include "x_input.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

static void sendKey(Display* display, KeySym keysym, bool down)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down ? True : False, CurrentTime);
}

static void holdModifiers(Display* display, unsigned modifiers, bool down)
{
    if (modifiers & kCtrl)
        sendKey(display, XK_Control_L, down);
    if (modifiers & kShift)
        sendKey(display, XK_Shift_L, down);
    if (modifiers & kAlt)
        sendKey(display, XK_Alt_L, down);
}

void clickAt(Display* display, Window window, int x, int y, MouseButton button, unsigned modifiers)
{
    int rootX = x, rootY = y;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    holdModifiers(display, modifiers, true);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    holdModifiers(display, modifiers, false);
    XFlush(display);
}

void pressKey(Display* display, const char* keysymName)
{
    const KeySym keysym = XStringToKeysym(keysymName);
    sendKey(display, keysym, true);
    sendKey(display, keysym, false);
    XFlush(display);
}
