#include "x_window.h"

#include <X11/Xutil.h>

#include <chrono>
#include <thread>

bool operator==(const Rgb& a, const Rgb& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

bool operator!=(const Rgb& a, const Rgb& b)
{
    return !(a == b);
}

static long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string windowTitle(Display* display, Window window)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr)
        return "";
    std::string title = name;
    XFree(name);
    return title;
}

static Window findViewable(Display* display, const std::string& title)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable && windowTitle(display, children[i]) == title)
            found = children[i];
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

Window findWindow(Display* display, const std::string& title, int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        const Window window = findViewable(display, title);
        if (window != 0 || nowMs() >= deadline)
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

static int channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    while ((mask & 1) == 0) {
        mask >>= 1;
        pixel >>= 1;
    }
    return static_cast<int>((pixel & mask) * 255 / mask);
}

Image grabWindow(Display* display, Window window)
{
    Image image;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0)
        return image;
    XImage* shot = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                             static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (shot == nullptr)
        return image;
    image.width = attributes.width;
    image.height = attributes.height;
    image.pixels.reserve(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const unsigned long pixel = XGetPixel(shot, x, y);
            image.pixels.push_back({channel(pixel, shot->red_mask), channel(pixel, shot->green_mask),
                                    channel(pixel, shot->blue_mask)});
        }
    XDestroyImage(shot);
    return image;
}

Rgb pixelAt(const Image& image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height)
        return {};
    return image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                        static_cast<std::size_t>(x)];
}

bool waitForImage(Display* display, Window window, const std::function<bool(const Image&)>& condition,
                  int timeoutMs, Image* last)
{
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        *last = grabWindow(display, window);
        if (condition(*last))
            return true;
        if (nowMs() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}
