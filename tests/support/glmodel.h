// A CPU model of the fixed-function pipeline as the demo uses it: the square in
// the unit view, two texture units (REPLACE, then MODULATE), GL_LINEAR sampling
// with GL_REPEAT, and 8-bit output. Expected frames come from here, never from an earlier run of the
// program.
#ifndef LIGHTMAP_TESTS_GLMODEL_H
#define LIGHTMAP_TESTS_GLMODEL_H

#include "image.h"

#include <string>

// The largest per-channel difference accepted between the model and the driver:
// llvmpipe filters with 8-bit weights and rounds products its own way.
const int pixelTolerance = 3;

struct Scene {
    const Image* lightMap = nullptr; // square image, first row at the bottom; null: missing
    const Image* wall = nullptr;     // likewise
    bool multitexture = true;        // false: only the clear colour is drawn
};

// The window's expected pixels when its viewport is width x height.
Image expectedFrame(const Scene& scene, int width, int height);

#endif
