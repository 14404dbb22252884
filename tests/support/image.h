// RGB images for the tests: captures of the window, the reference model's
// output, and the pictures written into test BMP files. Rows run bottom to top.
#ifndef LIGHTMAP_TESTS_IMAGE_H
#define LIGHTMAP_TESTS_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // (x, y) at y * width + x, y = 0 at the bottom

    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Image makeImage(int width, int height, Rgb fill = {});

std::string describe(Rgb colour);

#endif
