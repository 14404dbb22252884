// Waiting for the demo to show an expected frame: the program's flush and the
// X server's (or the page's) copy of it are not one event, so captures are
// retried briefly.
#ifndef LIGHTMAP_TESTS_CAPTURE_H
#define LIGHTMAP_TESTS_CAPTURE_H

#include "demo.h"
#include "glmodel.h"

// Captures until the demo matches `expected` within the tolerance or `seconds`
// pass; returns the difference of the last capture, which lands in `shot`.
FrameDifference captureUntilMatching(DemoRun& run, const Image& expected, double seconds = 3.0,
                                     Image* shot = nullptr);

#endif
