// The launchers whose program opens an X window on the test's own X server
// (native.cpp, wine.cpp): the one window titled as the demo's, looked at and
// acted on from the X side. Only x11.cpp includes Xlib.
#ifndef LIGHTMAP_TESTS_X11_H
#define LIGHTMAP_TESTS_X11_H

#include "launcher.h"

struct WindowedDemo : Demo {
    Image capture() override;
    void expose() override; // GLUT then calls the display callback again
    void resize(int width, int height) override;
    void paint(Rgb colour) override;
    Point position() override;

  protected:
    static bool openDisplay(); // false, with the reason recorded as a failure

  private:
    unsigned long window(); // 0, with the titles there recorded as a failure, if none shows
    unsigned long found = 0;
};

#endif
