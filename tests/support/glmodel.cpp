// The reference model behind glmodel.h, written from the OpenGL 1.x rules:
// pixel centres at (x + 0.5, y + 0.5); attributes interpolated linearly (the
// view is orthographic); u = s * size - 1/2, i0 = floor(u) mod size,
// i1 = (i0 + 1) mod size, weights from frac(u); GL_NEAREST takes texel
// floor(s * size) mod size; a unit whose texture has no image acts as if
// texturing were off, passing the incoming colour on.
#include "glmodel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <regex>

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

// Sampling a GL_REPEAT texture at (s, t).
Colour sample(const Image& texture, double s, double t, bool nearest)
{
    const Footprint f = footprint(texture.width, texture.height, s, t, nearest);
    Colour sum{};
    for (int k = 0; k < f.count; ++k) {
        const Rgb c = texture.at(f.i[k], f.j[k]);
        const Colour texel{c.r / 255.0, c.g / 255.0, c.b / 255.0};
        for (int ch = 0; ch < 3; ++ch)
            sum[ch] += f.weight[k] * texel[ch];
    }
    return sum;
}

// A unit's environment on an RGB texture.
Colour combine(Mode mode, const Colour& in, const Colour& texel)
{
    Colour out = texel; // GL_REPLACE, and GL_DECAL without alpha
    for (int ch = 0; ch < 3 && (mode == Mode::modulate || mode == Mode::add); ++ch)
        out[ch] = mode == Mode::add ? std::min(1.0, in[ch] + texel[ch]) : in[ch] * texel[ch];
    return out;
}

} // namespace

bool changes(const Scene& scene, const char* change)
{
    return scene.changes.find(change) != std::string::npos;
}

// Unit 0 as the program sets it up, then what it meant for unit 1, which lands
// on unit 0 (enabled already) when unit 1 is never selected; a unit never
// enabled samples nothing.
void unitsOf(const Scene& scene, Unit units[2])
{
    const bool select = !changes(scene, "select=no");
    const Mode mode = changes(scene, "mode=GL_REPLACE") ? Mode::replace
                      : changes(scene, "mode=GL_ADD")   ? Mode::add
                      : changes(scene, "mode=GL_DECAL") ? Mode::decal
                                                        : Mode::modulate;
    units[0] = {scene.lightMap, changes(scene, "filter=GL_NEAREST"), Mode::replace};
    units[1] = {};
    units[select ? 1 : 0] = {select && changes(scene, "enable=no") ? nullptr : scene.wall, false,
                             mode};
}

Footprint footprint(int width, int height, double s, double t, bool nearest)
{
    if (nearest) {
        const int i = wrap(static_cast<int>(std::floor(s * width)), width);
        const int j = wrap(static_cast<int>(std::floor(t * height)), height);
        return {1, {i}, {j}, {1.0}};
    }
    const double u = s * width - 0.5, v = t * height - 0.5;
    const int i0 = static_cast<int>(std::floor(u)), j0 = static_cast<int>(std::floor(v));
    const double a = u - i0, b = v - j0;
    return {4,
            {wrap(i0, width), wrap(i0 + 1, width), wrap(i0, width), wrap(i0 + 1, width)},
            {wrap(j0, height), wrap(j0, height), wrap(j0 + 1, height), wrap(j0 + 1, height)},
            {(1 - a) * (1 - b), a * (1 - b), (1 - a) * b, a * b}};
}

bool texCoordsAt(int x, int y, int width, int height, double st[2][2], bool lightWhole)
{
    const double x0 = squareLow * width, x1 = squareHigh * width;
    const double y0 = squareLow * height, y1 = squareHigh * height;
    const double cx = x + 0.5, cy = y + 0.5;
    if (cx < x0 || cx >= x1 || cy < y0 || cy >= y1)
        return false;
    const double fx = (cx - x0) / (x1 - x0), fy = (cy - y0) / (y1 - y0);
    const double low = lightWhole ? 0 : lightLow, high = lightWhole ? 1 : lightHigh;
    st[0][0] = low + fx * (high - low);
    st[0][1] = low + fy * (high - low);
    st[1][0] = fx;
    st[1][1] = fy;
    return true;
}

Image expectedFrame(const Scene& scene, int width, int height)
{
    Image frame = makeImage(width, height);
    Unit units[2];
    unitsOf(scene, units);
    double st[2][2];
    for (int y = 0; y < height && scene.multitexture; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!texCoordsAt(x, y, width, height, st, changes(scene, "coords=0-to-1")))
                continue;
            Colour colour{1, 1, 1}; // the current colour, never set: white
            for (int n = 0; n < 2; ++n) {
                const Unit& u = units[n];
                if (u.texture != nullptr)
                    colour =
                        combine(u.mode, colour, sample(*u.texture, st[n][0], st[n][1], u.nearest));
            }
            frame.at(x, y) = {toByte(colour[0]), toByte(colour[1]), toByte(colour[2])};
        }
    }
    return frame;
}

Bake bakeOf(const std::string& changes)
{
    Bake bake;
    const auto colour = [](const std::string& hex, double out[3]) {
        for (int c = 0; c < 3; ++c)
            out[c] = std::stoi(hex.substr(2 * c, 2), nullptr, 16) / 255.0;
    };
    const std::regex ambient("ambient=([0-9a-fA-F]{6})"),
        light("(?:lights=|;)([-.\\d]+),([-.\\d]+),([-.\\d]+),([-.\\d]+),([0-9a-fA-F]{6})");
    if (std::smatch m; std::regex_search(changes, m, ambient))
        colour(m[1], bake.ambient);
    for (std::sregex_iterator m(changes.begin(), changes.end(), light), end; m != end; ++m) {
        bake.lights.push_back(
            {std::stod((*m)[1]), std::stod((*m)[2]), std::stod((*m)[3]), std::stod((*m)[4]), {}});
        colour((*m)[5], bake.lights.back().colour);
    }
    return bake;
}

Image bakedLightMap(const Bake& bake, int size)
{
    Image map = makeImage(size, size);
    const auto across = [size](int i) {
        return ((i + 0.5) / size - lightLow) / (lightHigh - lightLow);
    };
    for (int t = 0; t < size * size; ++t) {
        const double x = across(t % size), y = across(t / size);
        double light[3] = {bake.ambient[0], bake.ambient[1], bake.ambient[2]};
        for (const Light& l : bake.lights) {
            const double d = std::hypot(x - l.x, y - l.y, l.height);
            for (int c = 0; c < 3; ++c)
                light[c] += l.colour[c] * std::max(0.0, 1 - d / l.radius) * l.height / d;
        }
        map.pixels[t] = {toByte(light[0]), toByte(light[1]), toByte(light[2])};
    }
    return map;
}
