// readBmpPixels on files the tests write: byte order, row order, the fixed
// 54-byte header, and what happens with missing, short, odd or oversized input.
#include "texture/bmp_reader.h"

#include "bmp_writer.h"
#include "support/image.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
const std::uint8_t untouched = 0xA5;

// A side x side image whose every byte differs from its neighbours.
Bytes patternRgb(int side)
{
    Bytes rgb(static_cast<std::size_t>(side) * side * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return rgb;
}

std::string writeFile(const Bytes& bytes, const std::string& name = "image.bmp")
{
    const std::string path = makeTempFolder("reader") + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// What the reader must produce from `file`: the bytes from offset 54 taken as
// blue-green-red triples, and black where the file runs out mid-way.
Bytes expectedTexels(const Bytes& file, int side)
{
    Bytes texels(static_cast<std::size_t>(side) * side * 3, 0);
    for (std::size_t t = 0; t < texels.size() / 3; ++t) {
        const std::size_t at = 54 + t * 3;
        if (at + 3 > file.size())
            break;
        texels[t * 3] = file[at + 2];
        texels[t * 3 + 1] = file[at + 1];
        texels[t * 3 + 2] = file[at];
    }
    return texels;
}

// Texel buffers compared as pictures, so that a mismatch names its first texel
// and leaves PNGs of both.
testing::AssertionResult texelsMatch(const Bytes& expected, const Bytes& observed, int side = 32)
{
    const auto picture = [side](const Bytes& bytes) {
        Image image = makeImage(side, side);
        std::memcpy(image.pixels.data(), bytes.data(),
                    std::min(bytes.size(), 3 * image.pixels.size()));
        return image;
    };
    return imagesMatch(picture(expected), picture(observed), 0);
}

Bytes readWith(const std::string& path, int side, bool& result)
{
    Bytes buffer(static_cast<std::size_t>(side) * side * 3, untouched);
    result = readBmpPixels(path.c_str(), side, buffer.data());
    return buffer;
}

TEST(BmpReaderTest, FirstTexelIsBottomLeftPixelAsRedGreenBlue)
{
    Bytes rgb(32 * 32 * 3, 200);
    rgb[0] = 30; // stored in the file as blue 10, green 20, red 30
    rgb[1] = 20;
    rgb[2] = 10;
    bool read = false;
    const Bytes texels = readWith(writeFile(encodeBmp(32, 32, rgb)), 32, read);
    ASSERT_TRUE(read);
    EXPECT_EQ(Bytes(texels.begin(), texels.begin() + 3), (Bytes{30, 20, 10}));
}

// The file's rows (bottom-up) stay in order: OpenGL's first row is the bottom.
TEST(BmpReaderTest, WholeImagesRoundTripWithRowOrderKept)
{
    for (int side : {32, 256}) {
        const Bytes rgb = patternRgb(side);
        bool read = false;
        EXPECT_TRUE(
            texelsMatch(rgb, readWith(writeFile(encodeBmp(side, side, rgb)), side, read), side));
        EXPECT_TRUE(read);
    }
}

// A longer header (here a 108-byte information header and a trailer after the
// pixels) is not interpreted: the pixels are taken from byte 54 all the same, so
// the picture shifts, and the trailer, which would show if read, never is.
TEST(BmpReaderTest, ReadsFromByte54WhateverTheHeaderSaysAndStopsAfterThePixels)
{
    Bytes file = encodeBmp(32, 32, patternRgb(32));
    file.insert(file.begin() + 54, 68, 0x11);
    file[10] = 54 + 68; // the header's own pixel offset, ignored
    file.insert(file.end(), 4096, 0xEE);
    bool read = false;
    const Bytes texels = readWith(writeFile(file), 32, read);
    ASSERT_TRUE(read);
    EXPECT_TRUE(texelsMatch(expectedTexels(file, 32), texels));
    EXPECT_EQ(texels[0], 0x11);
}

// Through a pipe, a read past the pixels would wait for bytes that the writer
// sends only after the reader has had its chance to return.
TEST(BmpReaderTest, NeverAsksForAByteBeyondThePixels)
{
    const std::string fifo = makeTempFolder("fifo") + "/image.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto previousHandler = signal(SIGPIPE, SIG_IGN);
    const Bytes file = encodeBmp(32, 32, patternRgb(32));
    std::atomic<bool> returned{false}, trailerSent{false};
    std::thread writer([&] {
        const int fd = open(fifo.c_str(), O_WRONLY);
        EXPECT_EQ(write(fd, file.data(), file.size()), static_cast<ssize_t>(file.size()));
        for (int i = 0; i < 200 && !returned; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        trailerSent = true;
        const std::uint8_t trailer[16] = {};
        const ssize_t ignored = write(fd, trailer, sizeof trailer); // EPIPE once closed
        static_cast<void>(ignored);
        close(fd);
    });
    bool read = false;
    const Bytes texels = readWith(fifo, 32, read);
    const bool waitedForTrailer = trailerSent;
    returned = true;
    writer.join();
    signal(SIGPIPE, previousHandler);
    EXPECT_TRUE(read);
    EXPECT_TRUE(texelsMatch(expectedTexels(file, 32), texels));
    EXPECT_FALSE(waitedForTrailer) << "the reader asked for bytes after the pixels";
}

TEST(BmpReaderTest, UnopenableFilesReturnFalseSilentlyAndLeaveBufferAlone)
{
    const std::string folder = makeTempFolder("unopenable");
    for (const std::string& path : {folder + "/missing.bmp", folder}) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        bool read = true;
        const Bytes texels = readWith(path, 32, read);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(read) << path;
        EXPECT_TRUE(texelsMatch(Bytes(texels.size(), untouched), texels)) << path;
    }
}

TEST(BmpReaderTest, SidesWithoutABufferAreRefusedBeforeReading)
{
    const std::string path = writeFile(encodeBmp(32, 32, patternRgb(32)));
    for (int side : {0, -1, -32, 257, 1 << 20}) {
        std::uint8_t buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), untouched);
        EXPECT_FALSE(readBmpPixels(path.c_str(), side, buffer)) << side;
        EXPECT_EQ(buffer[0], untouched) << side;
    }
}

// Short files: the reads stop at the end, texels the file did not supply in full
// are black, and nothing is written past the buffer (ASan watches in CI).
class ShortFileTest : public testing::TestWithParam<std::size_t> {};

TEST_P(ShortFileTest, StopsAtTheEndAndBlackensTheRest)
{
    const Bytes whole = encodeBmp(32, 32, patternRgb(32));
    const Bytes file(whole.begin(), whole.begin() + static_cast<long>(GetParam()));
    bool read = false;
    const Bytes texels = readWith(writeFile(file), 32, read);
    EXPECT_TRUE(read) << "a short file still opens";
    EXPECT_TRUE(texelsMatch(expectedTexels(file, 32), texels));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ShortFileTest,
                         testing::Values(0, 10, 53, 54, 54 + 5, 54 + 1536, 54 + 3072 - 1));

} // namespace
