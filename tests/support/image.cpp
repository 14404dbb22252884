// Small helpers for the tests' RGB images.
#include "image.h"

#include <cstdio>

Image makeImage(int width, int height, Rgb fill)
{
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height, fill);
    return image;
}

std::string describe(Rgb colour)
{
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", colour.r, colour.g, colour.b);
    return text;
}
