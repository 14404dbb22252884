// Writing standard uncompressed 24-bit bottom-up BMP files: the demo's images and
// the tests' own. Not part of the program, which only reads.
#ifndef LIGHTMAP_TOOLS_BMP_WRITER_H
#define LIGHTMAP_TOOLS_BMP_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds width * height texels (red, green, blue), bottom row first, as the
// file stores them. Rows are padded to four bytes. Returns false on a write error.
bool writeBmp(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

// The whole file as bytes, for tests that cut or extend it.
std::vector<std::uint8_t> encodeBmp(int width, int height, const std::vector<std::uint8_t>& rgb);

#endif
