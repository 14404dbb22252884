// The BMP pixel reader: one pass, byte by byte, through the stream's own buffer.
// The stream is locked once for the whole file and read with the unlocked getc,
// since a locked call per byte costs more than the byte's work itself.
#include "bmp_reader.h"

#include <cstdio>
#include <cstring>

namespace {

// The 14-byte file header and the 40-byte information header of a standard BMP.
const int headerBytes = 54;

#if defined(_WIN32)
void lockStream(std::FILE* file)
{
    _lock_file(file);
}
void unlockStream(std::FILE* file)
{
    _unlock_file(file);
}
inline int nextByte(std::FILE* file)
{
    return _getc_nolock(file);
}
#else
void lockStream(std::FILE* file)
{
    flockfile(file);
}
void unlockStream(std::FILE* file)
{
    funlockfile(file);
}
inline int nextByte(std::FILE* file)
{
    return getc_unlocked(file);
}
#endif

// Fills pixels[0, end) from the stream, swapping each blue-green-red triple into
// red-green-blue; stops at the first byte the stream cannot give. Returns where
// it stopped: `end` when every texel was read in full.
unsigned char* readTexels(std::FILE* file, unsigned char* pixels, unsigned char* end)
{
    for (int skipped = 0; skipped < headerBytes; ++skipped) {
        if (nextByte(file) == EOF)
            return pixels;
    }
    for (; pixels != end; pixels += 3) {
        const int blue = nextByte(file);
        if (blue == EOF)
            break;
        const int green = nextByte(file);
        if (green == EOF)
            break;
        const int red = nextByte(file);
        if (red == EOF)
            break;
        pixels[0] = static_cast<unsigned char>(red);
        pixels[1] = static_cast<unsigned char>(green);
        pixels[2] = static_cast<unsigned char>(blue);
    }
    return pixels;
}

} // namespace

bool readBmpPixels(const char* fileName, int size, unsigned char* pixels)
{
    if (size < 1 || size > largestBmpSide)
        return false;
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr)
        return false;

    unsigned char* const end = pixels + 3 * size * size;
    lockStream(file);
    unsigned char* const stopped = readTexels(file, pixels, end);
    const bool failed = std::ferror(file) != 0; // e.g. a directory, which opens here
    unlockStream(file);
    std::fclose(file);
    if (failed)
        return false;

    std::memset(stopped, 0, static_cast<std::size_t>(end - stopped));
    return true;
}
