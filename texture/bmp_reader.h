// Reading the pixel block of a square 24-bit BMP into an RGB buffer laid out the
// way glTexImage2D takes it. The headers are skipped, never interpreted.
#ifndef LIGHTMAP_TEXTURE_BMP_READER_H
#define LIGHTMAP_TEXTURE_BMP_READER_H

// The largest side the program has a pixel buffer for.
const int largestBmpSide = 256;

// Reads `size` x `size` pixels from byte 54 of the file into `pixels`
// (size * size * 3 bytes: red, green, blue; the file's first row first, which
// OpenGL takes as the bottom row). Bytes after the pixel block are never read.
// Returns false, without touching `pixels`, when the file cannot be opened or
// `size` is outside 1..largestBmpSide; false after a read error; true otherwise.
// Texels that a short file does not supply in full are black.
bool readBmpPixels(const char* fileName, int size, unsigned char* pixels);

#endif
