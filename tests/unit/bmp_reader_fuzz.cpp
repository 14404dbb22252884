// libFuzzer target: any file content, read at both sizes the program uses, into
// buffers of exactly the right length so that ASan sees any overrun.
#include "texture/bmp_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const int fd = memfd_create("bmp", 0);
    static char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;

    for (int side : {32, 256}) {
        std::vector<unsigned char> pixels(static_cast<std::size_t>(side) * side * 3);
        readBmpPixels(path, side, pixels.data());
    }
    return 0;
}
