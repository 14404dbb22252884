// Looking at the program's window from outside, through Xlib on the test's own
// connection to the private X server: finding it, its geometry, its pixels.
#ifndef LIGHTMAP_TESTS_XWINDOW_H
#define LIGHTMAP_TESTS_XWINDOW_H

#include "image.h"

#include <X11/Xlib.h>
#include <string>
#include <vector>

extern const char demoTitle[];

// A connection to this test process's own X server; the test fails (and null
// returns) without one.
Display* openTestDisplay();

std::vector<Window> topLevelWindowsTitled(Display* display, const std::string& title);

// The titles of all top-level windows, for failure messages.
std::vector<std::string> topLevelTitles(Display* display);

// Polls until exactly one viewable top-level window has the title; 0 on timeout.
Window waitForWindow(Display* display, const std::string& title, double seconds);

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};
WindowGeometry windowGeometry(Display* display, Window window);

// The window's contents, bottom row first, as OpenGL numbers rows.
Image captureWindow(Display* display, Window window);

#endif
