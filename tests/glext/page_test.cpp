// The page around the web build, used as a visitor would, in headless Chromium:
// a BMP whose pixels start after byte 54 is decoded as it looks; a file that is no
// image, or too large, gets a message and changes nothing; without WebGL the page
// says so; a lost context comes back by itself; the light map offered for download
// is exactly what the program read. The picture is checked against the CPU model.
#include "bmp_writer.h"
#include "support/launcher.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct PageCase {
    const char* name;
    std::vector<std::string> steps;  // after the light map and wall PNGs are chosen
    const char* badWall = nullptr;   // "text", "empty" or "huge": handed in after the pair
    const char* saidWhere = nullptr; // an element whose text must hold `said`
    const char* said = nullptr;
    bool header124 = false; // the wall as a BMP with a 124-byte header
    friend void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }
};

// A checker the wall's model can tell apart from its mirror image.
Image testWall()
{
    Image wall = makeImage(256, 256, {250, 250, 250});
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            if ((x / 32 + y / 32) % 2)
                wall.at(x, y) = {static_cast<std::uint8_t>(x), 90, static_cast<std::uint8_t>(y)};
        }
    }
    return wall;
}

// The standard file with a BITMAPV5HEADER (124 bytes, sRGB) in place of the
// 40-byte one, as ImageMagick writes by default: the pixels start at byte 138.
std::vector<std::uint8_t> bmpWith124ByteHeader(const Image& image)
{
    std::vector<std::uint8_t> file = encodeBmp(image.width, image.height, rgbBytes(image));
    std::vector<std::uint8_t> more(84, 0);
    more[16] = 'B', more[17] = 'G', more[18] = 'R', more[19] = 's'; // LCS_sRGB, little-endian
    file.insert(file.begin() + 54, more.begin(), more.end());
    const auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 138);
    put32(14, 124);
    return file;
}

class PageTest : public testing::TestWithParam<PageCase> {};

TEST_P(PageTest, SaysWhatItCannotDoAndShowsWhatTheProgramReads)
{
    const PageCase& c = GetParam();
    DemoOptions options;
    options.folder = makeTempFolder("page");
    SKIP_IF_LAUNCHER_MISSING(Launcher::Browser, options);
    const Image light = makeImage(32, 32, {255, 200, 100}), wall = testWall();
    ASSERT_TRUE(writeImagePng(options.folder + "/light.png", light));
    if (c.header124) {
        const std::vector<std::uint8_t> bytes = bmpWith124ByteHeader(wall);
        std::ofstream(options.folder + "/wall.bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    } else {
        ASSERT_TRUE(writeImagePng(options.folder + "/wall.png", wall));
    }
    const std::string bad = options.folder + "/bad.png";
    if (c.badWall != nullptr) {
        if (std::string(c.badWall) == "huge")
            ASSERT_TRUE(writeImagePng(bad, makeImage(8193, 1)));
        else
            std::ofstream(bad) << (std::string(c.badWall) == "text" ? "no image here\n" : "");
        options.pageSteps.push_back("wall=" + bad);
    }
    options.pageSteps.insert(options.pageSteps.end(), c.steps.begin(), c.steps.end());
    options.pageSteps.push_back("eval=lightmap.runs");
    if (c.saidWhere != nullptr)
        options.pageSteps.push_back(std::string("eval=document.getElementById('") + c.saidWhere +
                                    "').textContent");
    const std::unique_ptr<Demo> demo = startDemo(Launcher::Browser, options);
    ASSERT_TRUE(demo);

    for (const std::string& fault : demo->faults())
        ADD_FAILURE() << fault;
    const std::vector<std::string> values = demo->evaluated();
    ASSERT_EQ(values.size(), c.saidWhere ? 2u : 1u);
    if (c.saidWhere != nullptr) {
        EXPECT_NE(values[1].find(c.said), std::string::npos) << "the page said: " << values[1];
    }
    if (std::string(c.name) == "NoWebGL")
        return;
    // The demo's pair, then the test's two images: three runs, and a bad file adds none.
    EXPECT_EQ(values[0], std::string(c.name) == "ContextLostAndRestored" ? "4" : "3");
    Scene scene;
    scene.lightMap = &light;
    scene.wall = &wall;
    const FrameDifference difference =
        compareFrames(expectedFrame(scene, 500, 500), demo->capture());
    EXPECT_LE(difference.worst, pixelTolerance) << describe(difference);
    if (std::string(c.name) == "DownloadedLightMap") {
        const std::vector<std::uint8_t> expected = encodeBmp(32, 32, rgbBytes(light));
        EXPECT_EQ(readFile(options.folder + "/downloaded-light.bmp"),
                  std::string(expected.begin(), expected.end()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Browser, PageTest,
    testing::Values(
        PageCase{"Header124", {}, nullptr, nullptr, nullptr, true},
        PageCase{"TextFile", {}, "text", "wall-message", "not an image this browser can read"},
        PageCase{"EmptyFile", {}, "empty", "wall-message", "not an image this browser can read"},
        PageCase{"OverSizeLimit", {}, "huge", "wall-message", "over 8192 pixels on a side"},
        PageCase{"NoWebGL", {"chromium=--disable-webgl"}, nullptr, "no-webgl", "needs WebGL"},
        PageCase{"ContextLostAndRestored", {"lose-context"}},
        PageCase{"DownloadedLightMap", {"download=light"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
