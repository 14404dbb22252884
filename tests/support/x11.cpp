// The Xlib calls behind x11.h, on one connection of the test process's to
// $DISPLAY, the private Xvfb that scripts/with-xvfb starts. Without a window
// manager the program's window is a direct child of the root.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

Display* connection = nullptr;

// The top-level windows and their titles.
std::vector<std::pair<Window, std::string>> titled()
{
    std::vector<std::pair<Window, std::string>> found;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(connection, children[i], &name) && name != nullptr)
            found.emplace_back(children[i], name);
        XFree(name);
    }
    XFree(children);
    return found;
}

} // namespace

bool WindowedDemo::openDisplay()
{
    if (connection == nullptr) {
        connection = XOpenDisplay(nullptr);
        // A window gone with its program is the test's to report; Xlib's default
        // handler would end the whole test process instead.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    if (connection == nullptr)
        ADD_FAILURE() << "no X display: CTest runs this test under scripts/with-xvfb; "
                      << "run it by hand the same way";
    return connection != nullptr;
}

// The first frame is drawn when the window is exposed, so by then the window
// exists: the wait covers only the X server's own lag.
unsigned long WindowedDemo::window()
{
    const char title[] = "OpenGL Demo - Light Mapping (ARB_Multitexture)";
    XWindowAttributes attributes{};
    if (found == 0 && !pollUntil(2.0, [&] {
            int matches = 0;
            for (const auto& [window, name] : titled())
                matches += name == title ? (found = window, 1) : 0;
            return matches == 1 && XGetWindowAttributes(connection, found, &attributes) &&
                   attributes.map_state == IsViewable;
        })) {
        std::string titles;
        for (const auto& entry : titled())
            titles += " \"" + entry.second + "\"";
        if (childRunning(child)) // else the program's end is the news
            ADD_FAILURE() << "no one viewable window titled \"" << title << "\"; top-level titles:"
                          << titles << "; " << state();
        found = 0;
    }
    return found;
}

Point WindowedDemo::position()
{
    Point at;
    Window child = 0;
    XTranslateCoordinates(connection, window(), DefaultRootWindow(connection), 0, 0, &at.x, &at.y,
                          &child);
    return at;
}

Image WindowedDemo::capture()
{
    XWindowAttributes size{};
    XImage* shot = window() && XGetWindowAttributes(connection, found, &size)
                       ? XGetImage(connection, found, 0, 0, size.width, size.height, AllPlanes, ZPixmap)
                       : nullptr;
    if (shot == nullptr)
        return {};
    Image image = makeImage(size.width, size.height);
    for (int row = 0; row < size.height; ++row) {
        for (int x = 0; x < size.width; ++x) {
            const unsigned long pixel = XGetPixel(shot, x, row);
            image.at(x, size.height - 1 - row) = {static_cast<std::uint8_t>(pixel >> 16),
                                                  static_cast<std::uint8_t>(pixel >> 8),
                                                  static_cast<std::uint8_t>(pixel)};
        }
    }
    XDestroyImage(shot);
    return image;
}

void WindowedDemo::expose()
{
    XClearArea(connection, window(), 0, 0, 0, 0, True);
    XSync(connection, False);
}

void WindowedDemo::resize(int width, int height)
{
    XResizeWindow(connection, window(), width, height);
    XSync(connection, False);
}

void WindowedDemo::paint(Rgb colour)
{
    GC gc = XCreateGC(connection, window(), 0, nullptr);
    XSetForeground(connection, gc, (colour.r << 16) | (colour.g << 8) | colour.b);
    XFillRectangle(connection, found, gc, 0, 0, 4096, 4096); // clipped to the window
    XFreeGC(connection, gc);
    XSync(connection, False);
}
