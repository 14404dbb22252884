// BMP encoding: BITMAPFILEHEADER + BITMAPINFOHEADER, little-endian, then the
// pixel rows in blue-green-red order from the bottom up.
#include "bmp_writer.h"

#include <fstream>

namespace {

// `value`'s low `bytes` bytes, little-endian.
void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int paddedRowBytes(int width)
{
    return (width * 3 + 3) / 4 * 4;
}

// The 54-byte file and information headers of a width x height 24-bit image.
std::vector<std::uint8_t> bmpHeader(int width, int height)
{
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(paddedRowBytes(width) * height);
    std::vector<std::uint8_t> header{'B', 'M'};
    put(header, 54 + pixelBytes); // file size
    put(header, 0);               // reserved
    put(header, 54);              // offset of the pixels
    put(header, 40);              // information header size
    put(header, static_cast<std::uint32_t>(width));
    put(header, static_cast<std::uint32_t>(height)); // positive: bottom-up
    put(header, 1, 2);                               // planes
    put(header, 24, 2);                              // bits per pixel
    put(header, 0);                                  // BI_RGB, uncompressed
    put(header, pixelBytes);
    put(header, 2835); // 72 dpi, in pixels per metre
    put(header, 2835);
    put(header, 0); // colours used
    put(header, 0); // colours important
    return header;
}

} // namespace

std::vector<std::uint8_t> encodeBmp(int width, int height, const std::vector<std::uint8_t>& rgb)
{
    std::vector<std::uint8_t> file = bmpHeader(width, height);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* texel = &rgb[(static_cast<std::size_t>(row) * width + x) * 3];
            file.insert(file.end(), {texel[2], texel[1], texel[0]});
        }
        file.resize(file.size() + static_cast<std::size_t>(paddedRowBytes(width) - width * 3), 0);
    }
    return file;
}

bool writeBmp(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    const std::vector<std::uint8_t> file = encodeBmp(width, height, rgb);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out.flush());
}
