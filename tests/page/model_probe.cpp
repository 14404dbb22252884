// model_probe FOLDER [#CHANGES] X,Y...: the CPU model's side of the probe tests.
// Writes the images the tests choose, FOLDER/light.png and FOLDER/wall.png, and
// prints as JSON what the model expects at each canvas pixel X,Y (from the top
// left): inside the square or not, the light map's and the wall's samples, the
// result, and each unit that samples, its (s, t) and texels [i, j, weight, r, g, b].
// CHANGES are the page's address, such as #filter=GL_NEAREST&mode=GL_ADD; with
// lights (#lights=...) the light map is their bake, first printed, "baked": [r, g, b...].
#include "support/glmodel.h"

#include <cstdio>
#include <string>

namespace {

// Smooth ramps, so that linear filtering shows, with a hard edge across each.
Image ramps(int side, int seed)
{
    Image image = makeImage(side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int edge = (x + seed) / (side / 4) % 2 ? 60 : 0;
            image.at(x, y) = {static_cast<std::uint8_t>(255 * x / side),
                              static_cast<std::uint8_t>(195 + edge * (y % 2) - y * 100 / side),
                              static_cast<std::uint8_t>(40 + edge + y * 150 / side)};
        }
    }
    return image;
}

void printRgb(const char* name, Rgb c)
{
    std::printf("\"%s\": [%d, %d, %d]", name, c.r, c.g, c.b);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: model_probe FOLDER [#CHANGES] X,Y...\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int first = argc > 2 && argv[2][0] == '#' ? 3 : 2;
    Scene lightAlone, wallAlone, both, square;
    both.changes = first == 3 ? argv[2] : "";
    const bool bake = changes(both, "lights=");
    const Image light = bake ? bakedLightMap(bakeOf(both.changes)) : ramps(32, 3),
                wall = ramps(256, 17), white = makeImage(32, 32, {255, 255, 255});
    if (!writeImagePng(folder + "/light.png", light) || !writeImagePng(folder + "/wall.png", wall))
        return 1;
    lightAlone.lightMap = both.lightMap = &light;
    wallAlone.wall = both.wall = &wall;
    square.lightMap = &white;
    Unit units[2];
    unitsOf(both, units);
    const Image frames[] = {expectedFrame(lightAlone, 500, 500), expectedFrame(wallAlone, 500, 500),
                            expectedFrame(both, 500, 500), expectedFrame(square, 500, 500)};
    std::printf("{");
    for (std::size_t t = 0; bake && t < light.pixels.size(); ++t)
        std::printf("%s%d, %d, %d%s", t ? ", " : "\"baked\": [", light.pixels[t].r,
                    light.pixels[t].g, light.pixels[t].b, t + 1 == light.pixels.size() ? "]" : "");
    for (int i = first; i < argc; ++i) {
        int x = 0, y = 0;
        if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2 || x < 0 || y < 0 || x >= 500 || y >= 500)
            return 2;
        const int row = 499 - y; // the model's rows count from the bottom
        std::printf("%s\"%d,%d\": {\"inside\": %s, ", i > first || bake ? ", " : "", x, y,
                    frames[3].at(x, row).r == 255 ? "true" : "false");
        printRgb("light", frames[0].at(x, row));
        std::printf(", ");
        printRgb("wall", frames[1].at(x, row));
        std::printf(", ");
        printRgb("result", frames[2].at(x, row));
        double st[2][2];
        const bool inside = texCoordsAt(x, row, 500, 500, st, changes(both, "coords=0-to-1"));
        for (int unit = 0; unit < 2 && inside; ++unit) {
            const Image* texture = units[unit].texture;
            if (texture == nullptr)
                continue;
            const Footprint f = footprint(texture->width, texture->height, st[unit][0], st[unit][1],
                                          units[unit].nearest);
            std::printf(", \"unit%d\": {\"s\": %.9f, \"t\": %.9f, \"texels\": [", unit, st[unit][0],
                        st[unit][1]);
            for (int k = 0; k < f.count; ++k) {
                const Rgb c = texture->at(f.i[k], f.j[k]);
                std::printf("%s[%d, %d, %.9f, %d, %d, %d]", k ? ", " : "", f.i[k], f.j[k],
                            f.weight[k], c.r, c.g, c.b);
            }
            std::printf("]}");
        }
        std::printf("}");
    }
    std::printf("}\n");
    return 0;
}
