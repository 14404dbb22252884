// RGB images, rows bottom to top as OpenGL numbers them, and a CPU model of the
// fixed-function pipeline as the demo uses it: the square in the unit view, two
// texture units (REPLACE, then MODULATE), GL_LINEAR sampling with GL_REPEAT, and
// 8-bit output. Expected frames come from here, never from an earlier run of the
// program.
#ifndef LIGHTMAP_TESTS_GLMODEL_H
#define LIGHTMAP_TESTS_GLMODEL_H

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
std::vector<std::uint8_t> rgbBytes(const Image& image); // red, green, blue, bottom row first
// As a standard 24-bit BMP (tools/bmp_writer); false on a write error.
bool writeImageBmp(const std::string& path, const Image& image);
// PNG files through libpng: false, or an empty image, with the reason recorded as
// a failure, when one cannot be written or read.
bool writeImagePng(const std::string& path, const Image& image);
Image readPng(const std::string& path);

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

struct FrameDifference {
    int worst = 0; // largest channel difference over the whole frame
    int x = 0, y = 0;
    Rgb expected, observed;
    long pixelsOverTolerance = 0;
};
FrameDifference compareFrames(const Image& expected, const Image& observed);
// Where, what was expected and what was seen, as piglit's probes print it.
std::string describe(const FrameDifference& difference);

#endif
