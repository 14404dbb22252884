// Xlib helpers behind xwindow.h. Without a window manager the program's window
// is a direct child of the root, so the tree below the root is all there is.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "xwindow.h"

#include "process.h"

#include <X11/Xutil.h>
#include <chrono>
#include <cstdlib>
#include <thread>

const char demoTitle[] = "OpenGL Demo - Light Mapping (ARB_Multitexture)";

Display* openTestDisplay()
{
    if (!usePrivateDisplay())
        return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        ADD_FAILURE() << "cannot open the test's own display " << std::getenv("DISPLAY");
    return display;
}

namespace {

// Calls `visit(window, title)` for each top-level window that has a title.
template <typename Visit> void forEachTitledTopLevel(Display* display, Visit visit)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            visit(children[i], std::string(name));
            XFree(name);
        }
    }
    if (children != nullptr)
        XFree(children);
}

} // namespace

std::vector<Window> topLevelWindowsTitled(Display* display, const std::string& title)
{
    std::vector<Window> found;
    forEachTitledTopLevel(display, [&](Window window, const std::string& name) {
        if (name == title)
            found.push_back(window);
    });
    return found;
}

std::vector<std::string> topLevelTitles(Display* display)
{
    std::vector<std::string> titles;
    forEachTitledTopLevel(display,
                          [&](Window, const std::string& name) { titles.push_back(name); });
    return titles;
}

Window waitForWindow(Display* display, const std::string& title, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::vector<Window> windows = topLevelWindowsTitled(display, title);
        if (windows.size() == 1) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, windows[0], &attributes) &&
                attributes.map_state == IsViewable)
                return windows[0];
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

WindowGeometry windowGeometry(Display* display, Window window)
{
    WindowGeometry geometry;
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &geometry.x,
                          &geometry.y, &child);
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    return geometry;
}

Image captureWindow(Display* display, Window window)
{
    const WindowGeometry geometry = windowGeometry(display, window);
    Image image = makeImage(geometry.width, geometry.height);
    XImage* shot =
        XGetImage(display, window, 0, 0, geometry.width, geometry.height, AllPlanes, ZPixmap);
    if (shot == nullptr) {
        ADD_FAILURE() << "XGetImage failed";
        return image;
    }
    for (int row = 0; row < geometry.height; ++row) {
        for (int x = 0; x < geometry.width; ++x) {
            const unsigned long pixel = XGetPixel(shot, x, row);
            Rgb& out = image.at(x, geometry.height - 1 - row);
            out.r = static_cast<std::uint8_t>((pixel & shot->red_mask) >> 16);
            out.g = static_cast<std::uint8_t>((pixel & shot->green_mask) >> 8);
            out.b = static_cast<std::uint8_t>(pixel & shot->blue_mask);
        }
    }
    XDestroyImage(shot);
    return image;
}
