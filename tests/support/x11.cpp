// The Xlib calls behind launcher.h's window functions, on one connection of the
// test process's to $DISPLAY: the private Xvfb that CTest starts each display
// test on (scripts/with-xvfb). Without a window manager the program's window is a
// direct child of the root, so the tree below the root is all there is.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "launcher.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <utility>

namespace {

Display* connection = nullptr;

std::vector<std::pair<Window, std::string>> titledTopLevels()
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

bool openTestDisplay()
{
    if (connection == nullptr) {
        connection = XOpenDisplay(nullptr);
        // A window that went away with its program is the test's to report; Xlib's
        // default handler would end the whole test process instead.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    if (connection == nullptr)
        ADD_FAILURE() << "no X display: CTest runs this test under scripts/with-xvfb, which "
                      << "starts a private Xvfb; run it by hand the same way";
    return connection != nullptr;
}

WindowId waitForWindow(const std::string& title, double seconds)
{
    Window found = 0;
    const bool shown = pollUntil(seconds, [&] {
        int matches = 0;
        for (const auto& [window, name] : titledTopLevels()) {
            if (name == title)
                found = window, ++matches;
        }
        XWindowAttributes attributes{};
        return matches == 1 && XGetWindowAttributes(connection, found, &attributes) &&
               attributes.map_state == IsViewable;
    });
    return shown ? found : 0;
}

std::vector<std::string> topLevelTitles()
{
    std::vector<std::string> titles;
    for (const auto& entry : titledTopLevels())
        titles.push_back(entry.second);
    return titles;
}

WindowGeometry windowGeometry(WindowId window)
{
    WindowGeometry geometry;
    XWindowAttributes attributes{};
    XGetWindowAttributes(connection, window, &attributes);
    Window child = 0;
    XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &geometry.x,
                          &geometry.y, &child);
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    return geometry;
}

Image captureWindow(WindowId window)
{
    const WindowGeometry size = windowGeometry(window);
    Image image = makeImage(size.width, size.height);
    XImage* shot = XGetImage(connection, window, 0, 0, size.width, size.height, AllPlanes, ZPixmap);
    if (shot == nullptr) {
        ADD_FAILURE() << "XGetImage failed";
        return image;
    }
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

void exposeWindow(WindowId window)
{
    XClearArea(connection, window, 0, 0, 0, 0, True);
    XSync(connection, False);
}

void resizeWindow(WindowId window, int width, int height)
{
    XResizeWindow(connection, window, width, height);
    XSync(connection, False);
}

void paintWindow(WindowId window, Rgb colour)
{
    GC gc = XCreateGC(connection, window, 0, nullptr);
    XSetForeground(connection, gc, (colour.r << 16) | (colour.g << 8) | colour.b);
    XFillRectangle(connection, window, gc, 0, 0, 4096, 4096); // clipped to the window
    XFreeGC(connection, gc);
    XSync(connection, False);
}
