// RGB images, rows bottom to top as OpenGL numbers them; to and from files; and
// the one comparison every picture and texel test makes, which leaves PNGs.
#ifndef LIGHTMAP_TESTS_IMAGE_H
#define LIGHTMAP_TESTS_IMAGE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels; // (x, y) at y * width + x, y = 0 at the bottom

    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Image makeImage(int width, int height, Rgb fill = {});
// As a standard 24-bit BMP (tools/bmp_writer); false on a write error.
bool writeImageBmp(const std::string& path, const Image& image);
// PNG files through libpng: false, or an empty image, with the reason recorded as
// a failure, when one cannot be written or read.
bool writeImagePng(const std::string& path, const Image& image);
Image readPng(const std::string& path);

// The pixels of `observed` more than `tolerance` off `expected` in any channel:
// how many (-1: the sizes differ) and the first, counted from the top left.
struct Differences {
    long count = 0;
    int x = 0, y = 0;
    Rgb expected, observed;
};
Differences differingPixels(const Image& expected, const Image& observed, int tolerance);
// Success, or a failure that names the first differing pixel with both values
// there and how many pixels differ, after writing the observed, expected and
// difference pictures as PNGs into the test's output folder, their paths given.
testing::AssertionResult imagesMatch(const Image& expected, const Image& observed, int tolerance);

#endif
