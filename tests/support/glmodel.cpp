// The reference model behind glmodel.h, written from the OpenGL 1.x rules:
// pixel centres at (x + 0.5, y + 0.5); attributes interpolated linearly (the
// view is orthographic); u = s * size - 1/2, i0 = floor(u) mod size,
// i1 = (i0 + 1) mod size, weights from frac(u); a unit whose texture has no
// image acts as if texturing were off, passing the incoming colour on.
#include "glmodel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Colour {
    double r = 0, g = 0, b = 0;
};

// The square's corners and texture ranges as the program sends them (floats).
const float squareLow = 0.2f, squareHigh = 0.8f;
const float lightLow = 0.03125f, lightHigh = 0.65625f;

int wrap(int i, int size)
{
    return ((i % size) + size) % size;
}

Colour texel(const Image& texture, int x, int y)
{
    const Rgb c = texture.at(wrap(x, texture.width), wrap(y, texture.height));
    return {c.r / 255.0, c.g / 255.0, c.b / 255.0};
}

std::uint8_t toByte(double value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// GL_LINEAR sampling of a GL_REPEAT texture at (s, t), channels in [0, 1].
Colour sampleLinearRepeat(const Image& texture, double s, double t)
{
    const double u = s * texture.width - 0.5, v = t * texture.height - 0.5;
    const int i0 = static_cast<int>(std::floor(u)), j0 = static_cast<int>(std::floor(v));
    const double a = u - i0, b = v - j0;
    const Colour c00 = texel(texture, i0, j0), c10 = texel(texture, i0 + 1, j0);
    const Colour c01 = texel(texture, i0, j0 + 1), c11 = texel(texture, i0 + 1, j0 + 1);
    const auto blend = [&](double p00, double p10, double p01, double p11) {
        return (1 - a) * (1 - b) * p00 + a * (1 - b) * p10 + (1 - a) * b * p01 + a * b * p11;
    };
    return {blend(c00.r, c10.r, c01.r, c11.r), blend(c00.g, c10.g, c01.g, c11.g),
            blend(c00.b, c10.b, c01.b, c11.b)};
}

} // namespace

Image expectedFrame(const Scene& scene, int width, int height)
{
    Image frame = makeImage(width, height);
    if (!scene.multitexture)
        return frame;
    const double x0 = squareLow * width, x1 = squareHigh * width;
    const double y0 = squareLow * height, y1 = squareHigh * height;
    for (int y = 0; y < height; ++y) {
        const double cy = y + 0.5;
        if (cy < y0 || cy >= y1)
            continue;
        const double fy = (cy - y0) / (y1 - y0);
        for (int x = 0; x < width; ++x) {
            const double cx = x + 0.5;
            if (cx < x0 || cx >= x1)
                continue;
            const double fx = (cx - x0) / (x1 - x0);
            Colour colour{1, 1, 1};        // the current colour, never set: white
            if (scene.lightMap != nullptr) // unit 0, REPLACE
                colour = sampleLinearRepeat(*scene.lightMap, lightLow + fx * (lightHigh - lightLow),
                                            lightLow + fy * (lightHigh - lightLow));
            if (scene.wall != nullptr) { // unit 1, MODULATE
                const Colour w = sampleLinearRepeat(*scene.wall, fx, fy);
                colour = {colour.r * w.r, colour.g * w.g, colour.b * w.b};
            }
            frame.at(x, y) = {toByte(colour.r), toByte(colour.g), toByte(colour.b)};
        }
    }
    return frame;
}
