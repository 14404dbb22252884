// make_images FOLDER: writes the demo's own light.bmp (32x32, a warm spotlight
// over a cool dim room) and wall.bmp (256x256, a brick wall), procedurally and
// deterministically, so every build shows the same picture.
#include "bmp_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Colour {
    double r, g, b;
};

Colour mix(Colour a, Colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(Colour c, double k)
{
    return {c.r * k, c.g * k, c.b * k};
}

void store(std::vector<std::uint8_t>& rgb, std::size_t texel, Colour c)
{
    const auto byte = [](double v) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    rgb[texel * 3] = byte(c.r);
    rgb[texel * 3 + 1] = byte(c.g);
    rgb[texel * 3 + 2] = byte(c.b);
}

// A repeatable pseudo-random value in [0, 1) for integer coordinates.
double hash(int x, int y, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFFFF) / 16777216.0;
}

// Smooth value noise on a lattice of `cell` pixels that wraps every `period`.
double valueNoise(int x, int y, int cell, int period, int seed)
{
    const int cells = period / cell;
    const double fx = static_cast<double>(x) / cell, fy = static_cast<double>(y) / cell;
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double tx = smooth(fx - x0), ty = smooth(fy - y0);
    const auto at = [&](int i, int j) { return hash(i % cells, j % cells, seed); };
    const double bottom = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    const double top = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return bottom + (top - bottom) * ty;
}

// The quad shows the light map's texels 1 to 20, so the spot sits near texel 11.
std::vector<std::uint8_t> lightMap(int side)
{
    const Colour ambient{28, 28, 46}, warm{255, 244, 214}, fill{56, 80, 130};
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(side) * side * 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double spot = std::clamp(1 - std::hypot(cx - 11.0, cy - 11.5) / 10.0, 0.0, 1.0);
            const double rim = std::clamp(1 - std::hypot(cx - 19.5, cy - 3.0) / 7.0, 0.0, 1.0);
            Colour c = mix(ambient, warm, spot * spot * (3 - 2 * spot));
            c = {c.r + fill.r * rim * rim, c.g + fill.g * rim * rim, c.b + fill.b * rim * rim};
            store(rgb, static_cast<std::size_t>(y) * side + x, c);
        }
    }
    return rgb;
}

// Courses of 64x32 bricks in running bond, 4-pixel mortar joints, a bevel of
// light above and shade below each brick, and grain in both brick and mortar.
std::vector<std::uint8_t> wall(int side)
{
    const int brickW = 64, brickH = 32, joint = 4;
    const Colour mortar{206, 198, 184};
    const Colour clays[] = {{204, 96, 66}, {222, 126, 84}, {172, 82, 60}, {192, 108, 74}};
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(side) * side * 3);
    for (int y = 0; y < side; ++y) {
        const int course = y / brickH, inY = y % brickH;
        const int shift = (course % 2) * brickW / 2;
        for (int x = 0; x < side; ++x) {
            const int brick = ((x + shift) / brickW) % (side / brickW), inX = (x + shift) % brickW;
            const double grain = valueNoise(x, y, 8, side, 1) * 0.6 +
                                 valueNoise(x, y, 4, side, 2) * 0.4 + hash(x, y, 3) * 0.25;
            Colour c;
            if (inY < joint || inX < joint) {
                c = scale(mortar, 0.82 + 0.22 * grain);
            } else {
                const Colour clay = clays[static_cast<int>(hash(brick, course, 4) * 4)];
                c = scale(clay, 0.78 + 0.2 * hash(brick, course, 5) + 0.2 * grain);
                const int fromTop = brickH - 1 - inY, fromBottom = inY - joint;
                if (fromTop < 2 || inX - joint < 2)
                    c = scale(c, 1.12);
                else if (fromBottom < 3 || brickW - 1 - inX < 2)
                    c = scale(c, 0.8);
            }
            store(rgb, static_cast<std::size_t>(y) * side + x, c);
        }
    }
    return rgb;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_images FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    if (!writeBmp(folder + "/light.bmp", 32, 32, lightMap(32)) ||
        !writeBmp(folder + "/wall.bmp", 256, 256, wall(256))) {
        std::fprintf(stderr, "make_images: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
