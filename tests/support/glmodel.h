// A CPU model of the fixed-function pipeline as the demo uses it: the square, two
// units (REPLACE, then MODULATE), GL_LINEAR with GL_REPEAT, 8-bit output, and the
// calls the page's "What if" can change. Expected frames come from here, never
// from an earlier run of the program.
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
    // The calls the page's "What if" changes, as its address names them, such as
    // "filter=GL_NEAREST&mode=GL_ADD&coords=0-to-1&select=no&enable=no".
    std::string changes;
};

enum class Mode { replace, modulate, add, decal };

// A texture unit as the square is drawn: the image it samples (null: none, or
// texturing off there), its filter and its mode.
struct Unit {
    const Image* texture = nullptr;
    bool nearest = false;
    Mode mode = Mode::modulate;
};
void unitsOf(const Scene& scene, Unit units[2]);
bool changes(const Scene& scene, const char* change);

// The window's expected pixels when its viewport is width x height.
Image expectedFrame(const Scene& scene, int width, int height);

// The texels GL_NEAREST (one) or GL_LINEAR (four) takes from a GL_REPEAT texture
// at (s, t), i from the left and j from the bottom row, and their weights.
struct Footprint {
    int count = 4;
    int i[4], j[4];
    double weight[4];
};
Footprint footprint(int width, int height, double s, double t, bool nearest = false);

// Unit 0's and unit 1's (s, t) at the centre of the window's pixel (x, y),
// counted from the bottom left, unit 0's from 0 to 1 with `lightWhole`; false
// outside the square.
bool texCoordsAt(int x, int y, int width, int height, double st[2][2], bool lightWhole = false);

// The page's baker, from its address ("lights=X,Y,H,R,RRGGBB;...&ambient=RRGGBB"), and
// the light map whose texel (i, j) is their light where its centre lands on the square.
struct Light {
    double x, y, height, radius, colour[3];
};
struct Bake {
    std::vector<Light> lights;
    double ambient[3] = {0, 0, 0};
};
Bake bakeOf(const std::string& changes);
Image bakedLightMap(const Bake& bake, int size = 32);

#endif
