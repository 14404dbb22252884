// The tests' images to and from files: BMPs for the program, PNGs from the page.
#include "image.h"

#include "bmp_writer.h"

#include <gtest/gtest.h>

#include <png.h>

Image makeImage(int width, int height, Rgb fill)
{
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height, fill);
    return image;
}

std::vector<std::uint8_t> rgbBytes(const Image& image)
{
    std::vector<std::uint8_t> rgb;
    for (const Rgb& texel : image.pixels)
        rgb.insert(rgb.end(), {texel.r, texel.g, texel.b});
    return rgb;
}

bool writeImageBmp(const std::string& path, const Image& image)
{
    return writeBmp(path, image.width, image.height, rgbBytes(image));
}

static_assert(sizeof(Rgb) == 3, "an Image's pixels are packed RGB bytes");

bool writeImagePng(const std::string& path, const Image& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    // A negative stride: the bottom row comes first in the buffer, as in an Image.
    const bool written = png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(),
                                                 -3 * image.width, nullptr);
    if (!written)
        ADD_FAILURE() << "cannot write " << path << ": " << png.message;
    return written;
}

Image readPng(const std::string& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> rgb;
    if (png_image_begin_read_from_file(&png, path.c_str())) {
        png.format = PNG_FORMAT_RGB;
        rgb.resize(PNG_IMAGE_SIZE(png));
        if (!png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr))
            rgb.clear();
    }
    if (rgb.empty()) {
        ADD_FAILURE() << "cannot read " << path << ": " << png.message;
        return {};
    }
    Image image = makeImage(static_cast<int>(png.width), static_cast<int>(png.height));
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::size_t x = i % png.width,
                          y = png.height - 1 - i / png.width; // PNG: top row first
        image.at(static_cast<int>(x), static_cast<int>(y)) = {rgb[3 * i], rgb[3 * i + 1],
                                                              rgb[3 * i + 2]};
    }
    return image;
}
