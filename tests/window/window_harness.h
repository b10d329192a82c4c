// Runs the program on a private Xvfb and drives it: processes, window pixels, synthetic input.
#pragma once

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Child {
    pid_t pid = -1;
    int out = -1, err = -1;  // read ends of its stdout and stderr pipes, -1 when not piped
    bool ended = false;      // reaped; status is valid
    int status = 0;          // as returned by waitpid
};

struct Session {
    Child server, program;
    Display* display = nullptr;
    Window window = 0;
    std::string workDir;        // the program's current folder and state home; made when empty
    bool removeWorkDir = true;  // endSession removes it
};

using Rgb = std::uint32_t;  // 0xRRGGBB

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // row by row from the top-left corner
};

const KeySym kNoModifier = NoSymbol, kCtrl = XK_Control_L, kShift = XK_Shift_L, kAlt = XK_Alt_L;
enum MouseButton : unsigned { kLeftButton = 1, kMiddleButton = 2, kRightButton = 3, kWheelUp = 4, kWheelDown = 5 };

// Starts the program with args, stdout and stderr piped, in workDir (when given, also its
// XDG_STATE_HOME's parent), with only DISPLAY (left out when empty), a UTF-8 locale, PATH and the
// test's sanitizer options in its environment; pid is -1 when it failed.
Child startProgram(const std::string& display, const std::vector<std::string>& args = {},
                   const std::string& workDir = "");
// Reads fd until `wanted` bytes have arrived, end of file, or timeoutMs has passed.
std::string readPipe(int fd, std::size_t wanted, int timeoutMs);
// True while the child runs; reaps it once it has ended.
bool isRunning(Child& child);
// Waits up to timeoutMs for the child to end; true when it has.
bool waitForExit(Child& child, int timeoutMs);
// Sends signal, then SIGKILL if the child lingers; reaps it and closes its pipes.
void stopProcess(Child& child, int signal);

// Starts a private 1024x768x24 Xvfb and connects to it; displayName gets its name (":3"). False,
// with the reason on stderr, when no server came up.
bool startServer(Session& s, std::string& displayName);
// Starts Xvfb, connects, starts the program with args in s.workDir (a fresh folder unless set) and
// waits for its "Vialoom" window; false, with the reason on stderr, on any failure.
bool startSession(Session& s, const std::vector<std::string>& args = {});
// Kills the program and the server and disconnects; safe after any failure.
void endSession(Session* s);

// The pixel at window position (x, y); 0 outside the image.
Rgb pixelAt(const Image& image, int x, int y);
// Grabs the window every few milliseconds until condition holds; false when timeoutMs passed first.
bool waitForImage(const Session& s, const std::function<bool(const Image&)>& condition, int timeoutMs);

// Clicks at window position (x, y) with the modifier key held.
void clickAt(const Session& s, int x, int y, MouseButton button, KeySym modifier);
// Presses button at from, moves the pointer to `to` in a few steps, releases it there.
void dragWith(const Session& s, MouseButton button, int fromX, int fromY, int toX, int toY);
// Presses and releases the key that types keysymName ("q", "1", "Left").
void pressKey(const Session& s, const char* keysymName);

// Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW).
void closeWindow(const Session& s);
