#include "window_harness.h"

#include <X11/extensions/XTest.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

bool pollUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    return true;
}

std::vector<char*> cStrings(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& s : strings)
        pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Stdout always goes to a pipe, stderr to a pipe or /dev/null; an empty env inherits the test's.
// The child dies with the test process.
Child spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool pipeStderr,
            const std::string& workDir = "")
{
    Child child;
    int out[2] = {-1, -1}, err[2] = {-1, -1};
    // Built before fork: the child may only make async-signal-safe calls.
    std::vector<char*> args = cStrings(argv), vars = cStrings(env);
    const pid_t parent = getpid();
    if (pipe2(out, O_CLOEXEC) == 0 && (!pipeStderr || pipe2(err, O_CLOEXEC) == 0))
        child.pid = fork();
    if (child.pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        if (!workDir.empty() && chdir(workDir.c_str()) != 0)
            _exit(127);
        dup2(out[1], STDOUT_FILENO);
        dup2(pipeStderr ? err[1] : open("/dev/null", O_WRONLY), STDERR_FILENO);
        execvpe(args[0], args.data(), env.empty() ? environ : vars.data());
        _exit(127);
    }
    for (int fd : {out[1], err[1]})
        if (fd >= 0)
            close(fd);
    child.out = out[0];
    child.err = err[0];
    return child;
}

Window findViewable(Display* display, const char* title)
{
    Window root = 0, parent = 0, found = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) != 0 && std::strcmp(name, title) == 0 &&
            XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable)
            found = children[i];
        XFree(name);  // XFree, like free, accepts a null pointer
    }
    XFree(children);
    return found;
}

void sendKey(Display* display, KeySym keysym, bool down)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down ? True : False, CurrentTime);
}

// The window's client area as shown now; empty when unreadable.
Image grabWindow(const Session& s)
{
    XWindowAttributes attributes;
    XImage* shot = nullptr;
    if (XGetWindowAttributes(s.display, s.window, &attributes) == 0 ||
        (shot = XGetImage(s.display, s.window, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap)) == nullptr)
        return {};
    Image image{attributes.width, attributes.height, {}};
    // Our own 24-bit Xvfb screen stores pixels as 0xRRGGBB.
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.pixels.push_back(static_cast<Rgb>(XGetPixel(shot, x, y) & 0xFFFFFF));
    XDestroyImage(shot);
    return image;
}

}  // namespace

Child startProgram(const std::string& display, const std::vector<std::string>& args, const std::string& workDir)
{
    std::vector<std::string> env{"LANG=C.UTF-8", "PATH=/usr/local/bin:/usr/bin:/bin"};
    // Unsaved work kept on quit lands in the work folder, never in the user's home.
    if (!workDir.empty())
        env.push_back("XDG_STATE_HOME=" + workDir + "/state");
    if (!display.empty())
        env.push_back("DISPLAY=" + display);
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    std::vector<std::string> argv{VIALOOM_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    return spawn(argv, env, true, workDir);
}

std::string readPipe(int fd, std::size_t wanted, int timeoutMs)
{
    std::string data;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (data.size() < wanted) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0 ||
            (n = read(fd, buffer, sizeof buffer)) <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

bool isRunning(Child& child)
{
    if (child.pid > 0 && !child.ended && waitpid(child.pid, &child.status, WNOHANG) == child.pid)
        child.ended = true;
    return child.pid > 0 && !child.ended;
}

bool waitForExit(Child& child, int timeoutMs)
{
    return pollUntil([&] { return !isRunning(child); }, timeoutMs) && child.ended;
}

void stopProcess(Child& child, int signal)
{
    for (int sent : {signal, SIGKILL})
        if (isRunning(child)) {
            kill(child.pid, sent);
            waitForExit(child, 3000);
        }
    for (int* fd : {&child.out, &child.err})
        if (*fd >= 0)
            close(std::exchange(*fd, -1));
}

bool startServer(Session& s, std::string& displayName)
{
    // -displayfd 1: the server picks a free display number and writes it to stdout once it listens.
    s.server =
        spawn({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {}, false);
    // Xvfb closes that descriptor after writing, so the read ends at once.
    const std::string number = readPipe(s.server.out, 64, 10000);
    displayName = ":" + number.substr(0, number.find('\n'));
    if (number.find('\n') == std::string::npos ||
        (s.display = XOpenDisplay(displayName.c_str())) == nullptr) {
        std::fprintf(stderr, "no X server came up\n");
        return false;
    }
    return true;
}

bool startSession(Session& s, const std::vector<std::string>& args)
{
    if (s.workDir.empty()) {
        char pattern[] = "/tmp/vialoom-window-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            return false;
        s.workDir = pattern;
    }
    std::string display;
    if (!startServer(s, display))
        return false;
    // A window that goes away under a grab must fail the test, not abort the test binary.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    s.program = startProgram(display, args, s.workDir);
    if (s.program.pid < 0 ||
        !pollUntil([&] { return (s.window = findViewable(s.display, "Vialoom")) != 0; }, 15000)) {
        std::fprintf(stderr, "no window titled Vialoom appeared\n");
        return false;
    }
    // With no window manager the window stays at (-1, -1), its top row and left column off screen,
    // where XGetImage refuses to read. At (0, 0), and borderless, window and screen coordinates agree.
    XMoveWindow(s.display, s.window, 0, 0);
    XSync(s.display, False);
    return true;
}

void endSession(Session* s)
{
    stopProcess(s->program, SIGKILL);
    if (s->display != nullptr)
        XCloseDisplay(std::exchange(s->display, nullptr));
    stopProcess(s->server, SIGTERM);
    // A scratch folder left behind harms nothing, so the status is not checked.
    if (!s->workDir.empty() && s->removeWorkDir && std::system(("rm -rf '" + s->workDir + "'").c_str()) != 0)
        return;
}

Rgb pixelAt(const Image& image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height)
        return {};
    return image.pixels[static_cast<std::size_t>(y * image.width + x)];
}

bool waitForImage(const Session& s, const std::function<bool(const Image&)>& condition, int timeoutMs)
{
    return pollUntil([&] { return condition(grabWindow(s)); }, timeoutMs);
}

void clickAt(const Session& s, int x, int y, MouseButton button, KeySym modifier)
{
    XTestFakeMotionEvent(s.display, DefaultScreen(s.display), x, y, CurrentTime);
    if (modifier != NoSymbol)
        sendKey(s.display, modifier, true);
    XTestFakeButtonEvent(s.display, button, True, CurrentTime);
    XTestFakeButtonEvent(s.display, button, False, CurrentTime);
    if (modifier != NoSymbol)
        sendKey(s.display, modifier, false);
    XFlush(s.display);
}

void dragWith(const Session& s, MouseButton button, int fromX, int fromY, int toX, int toY)
{
    constexpr int kSteps = 5;
    XTestFakeMotionEvent(s.display, DefaultScreen(s.display), fromX, fromY, CurrentTime);
    XTestFakeButtonEvent(s.display, button, True, CurrentTime);
    for (int step = 1; step <= kSteps; ++step)
        XTestFakeMotionEvent(s.display, DefaultScreen(s.display), fromX + (toX - fromX) * step / kSteps,
                             fromY + (toY - fromY) * step / kSteps, CurrentTime);
    XTestFakeButtonEvent(s.display, button, False, CurrentTime);
    XFlush(s.display);
}

void pressKey(const Session& s, const char* keysymName)
{
    for (bool down : {true, false})
        sendKey(s.display, XStringToKeysym(keysymName), down);
    XFlush(s.display);
}

void closeWindow(const Session& s)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = s.window;
    event.xclient.message_type = XInternAtom(s.display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(s.display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(s.display, s.window, False, NoEventMask, &event);
    XFlush(s.display);
}
