// The reference model behind glmodel.h, written from the OpenGL 1.x rules:
// pixel centres at (x + 0.5, y + 0.5); attributes interpolated linearly (the
// view is orthographic); u = s * size - 1/2, i0 = floor(u) mod size,
// i1 = (i0 + 1) mod size, weights from frac(u); a unit whose texture has no
// image acts as if texturing were off, passing the incoming colour on.
#include "glmodel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

using Colour = std::array<double, 3>; // red, green, blue in [0, 1]

// The square's corners and texture ranges as the program sends them (floats).
const float squareLow = 0.2f, squareHigh = 0.8f;
const float lightLow = 0.03125f, lightHigh = 0.65625f;

int wrap(int i, int size)
{
    return ((i % size) + size) % size;
}

std::uint8_t toByte(double value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// GL_LINEAR sampling of a GL_REPEAT texture at (s, t).
Colour sampleLinearRepeat(const Image& texture, double s, double t)
{
    const Footprint f = linearFootprint(texture.width, texture.height, s, t);
    Colour sum{};
    for (int k = 0; k < 4; ++k) {
        const Rgb c = texture.at(f.i[k], f.j[k]);
        const Colour texel{c.r / 255.0, c.g / 255.0, c.b / 255.0};
        for (int ch = 0; ch < 3; ++ch)
            sum[ch] += f.weight[k] * texel[ch];
    }
    return sum;
}

} // namespace

Footprint linearFootprint(int width, int height, double s, double t)
{
    const double u = s * width - 0.5, v = t * height - 0.5;
    const int i0 = static_cast<int>(std::floor(u)), j0 = static_cast<int>(std::floor(v));
    const double a = u - i0, b = v - j0;
    return {{wrap(i0, width), wrap(i0 + 1, width), wrap(i0, width), wrap(i0 + 1, width)},
            {wrap(j0, height), wrap(j0, height), wrap(j0 + 1, height), wrap(j0 + 1, height)},
            {(1 - a) * (1 - b), a * (1 - b), (1 - a) * b, a * b}};
}

bool texCoordsAt(int x, int y, int width, int height, double st[2][2])
{
    const double x0 = squareLow * width, x1 = squareHigh * width;
    const double y0 = squareLow * height, y1 = squareHigh * height;
    const double cx = x + 0.5, cy = y + 0.5;
    if (cx < x0 || cx >= x1 || cy < y0 || cy >= y1)
        return false;
    const double fx = (cx - x0) / (x1 - x0), fy = (cy - y0) / (y1 - y0);
    st[0][0] = lightLow + fx * (lightHigh - lightLow);
    st[0][1] = lightLow + fy * (lightHigh - lightLow);
    st[1][0] = fx;
    st[1][1] = fy;
    return true;
}

Image expectedFrame(const Scene& scene, int width, int height)
{
    Image frame = makeImage(width, height);
    double st[2][2];
    for (int y = 0; y < height && scene.multitexture; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!texCoordsAt(x, y, width, height, st))
                continue;
            Colour colour{1, 1, 1};        // the current colour, never set: white
            if (scene.lightMap != nullptr) // unit 0, REPLACE
                colour = sampleLinearRepeat(*scene.lightMap, st[0][0], st[0][1]);
            const Colour wall = scene.wall ? sampleLinearRepeat(*scene.wall, st[1][0], st[1][1])
                                           : Colour{1, 1, 1}; // unit 1, MODULATE
            frame.at(x, y) = {toByte(colour[0] * wall[0]), toByte(colour[1] * wall[1]),
                              toByte(colour[2] * wall[2])};
        }
    }
    return frame;
}
