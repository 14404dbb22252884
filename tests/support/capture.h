// Waiting for the window to show an expected frame: the program's flush and the
// X server's copy of it are not one event, so captures are retried briefly.
#ifndef LIGHTMAP_TESTS_CAPTURE_H
#define LIGHTMAP_TESTS_CAPTURE_H

#include "glmodel.h"
#include "xwindow.h"

// Captures until the window matches `expected` within the tolerance or `seconds`
// pass; returns the difference of the last capture, which lands in `shot`.
FrameDifference captureUntilMatching(Display* display, Window window, const Image& expected,
                                     double seconds = 3.0, Image* shot = nullptr);

#endif
