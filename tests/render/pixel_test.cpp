// The light-mapped square on the real driver, pixel by pixel: every pixel of the
// window against the CPU model, for each mix of images, in the Linux build and
// in the Windows build under Wine, and (Linux) after a resize and over repeated
// redraws. Images are made here, with hard edges and marker texels.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "bmp_writer.h"
#include "support/capture.h"
#include "support/cases.h"
#include "support/demo.h"

namespace {

const Rgb red{255, 0, 0}, cyan{0, 255, 255};

// Texels 1 to 20 on each axis are what the square shows: a checker of 5x5
// blocks without red. Row 0 and column 21 are red markers that may appear only
// as filtered blends at the square's bottom and right edges; the texels beyond
// are red too and must never appear. Column 0 and row 21 are cyan.
Image lightMapImage()
{
    Image image = makeImage(32, 32, red);
    for (int y = 1; y <= 21; ++y) {
        for (int x = 0; x <= 20; ++x) {
            const bool odd = ((x - 1) / 5 + (y - 1) / 5) % 2 != 0;
            image.at(x, y) = odd ? Rgb{0, 64, 255} : Rgb{0, 255, 128};
            if (x == 0 || y == 21)
                image.at(x, y) = cyan;
        }
    }
    return image;
}

// A checker of 8x8 blocks, so that edges fall all over the magnified wall.
Image wallImage()
{
    Image image = makeImage(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
            image.at(x, y) = (x / 8 + y / 8) % 2 ? Rgb{96, 96, 96} : Rgb{255, 240, 200};
    }
    image.at(0, 0) = {255, 0, 255};
    image.at(255, 255) = {0, 255, 0};
    return image;
}

void writeImage(const std::string& path, const Image& image)
{
    std::vector<std::uint8_t> rgb;
    for (const Rgb& texel : image.pixels)
        rgb.insert(rgb.end(), {texel.r, texel.g, texel.b});
    ASSERT_TRUE(writeBmp(path, image.width, image.height, rgb));
}

// Starts the demo in a folder holding the case's images and waits for its window.
class PixelTest : public testing::TestWithParam<ImageCase> {
  protected:
    void SetUp() override
    {
        const ImageCase c = GetParam();
        DemoOptions options;
        options.launcher = c.launcher;
        options.folder = makeTempFolder("pixels");
        if (c.light)
            writeImage(options.folder + "/light.bmp", lightMap);
        if (c.wall)
            writeImage(options.folder + "/wall.bmp", wall);
        options.withoutMultitexture = !c.extension;
        ASSERT_TRUE(startDemoWindow(run, options));
        scene.lightMap = c.light ? &lightMap : nullptr;
        scene.wall = c.wall ? &wall : nullptr;
        scene.multitexture = c.extension;
    }

    void expectFrame(int width, int height, Image* shot = nullptr)
    {
        const FrameDifference difference =
            captureUntilMatching(run, expectedFrame(scene, width, height), 3.0, shot);
        EXPECT_LE(difference.worst, pixelTolerance) << describe(difference);
        std::printf("[ worst    ] %s %dx%d: %d\n", GetParam().name, width, height,
                    difference.worst);
    }

    const Image lightMap = lightMapImage();
    const Image wall = wallImage();
    Scene scene;
    DemoRun run;
};

// In the page, each unit's texture environment mode is read back after the frame
// through the Emscripten runtime's own GL functions: unit 0 must replace and
// unit 1 modulate, which shows the web build's mend of glTexEnvf in force (the
// emulation alone leaves unit 0 modulating, which white light cannot show).
const char texEnvModes[] =
    "(p => [0x84C0, 0x84C1].map(unit => (_glActiveTexture(unit),"
    " _glGetTexEnviv(0x2300, 0x2200, p), HEAP32[p >> 2])).join(' '))(_malloc(4))";

TEST_P(PixelTest, EveryPixelMatchesTheModel)
{
    expectFrame(500, 500);
    const std::string message =
        outputLine(run, "ARB_Multitexture not found, get a better graphics card!");
    EXPECT_EQ(demoStdout(run), GetParam().extension ? "" : message);
    if (GetParam().launcher == Launcher::Browser) {
        EXPECT_EQ(evaluate(run.browser, texEnvModes), "7681 8448");
        for (const std::string& error : run.browser.consoleErrors)
            ADD_FAILURE() << "console: " << error;
    }
}

// Redraws the test causes from the X side, each counted by the GL probe.
class PixelRedrawTest : public PixelTest {};

// No reshape callback: GLUT's default makes the viewport the new window size,
// and the unit view stretches with it.
TEST_P(PixelRedrawTest, ResizedWindowStretchesTheView)
{
    XResizeWindow(run.display, run.window, 640, 400);
    XSync(run.display, False);
    ASSERT_TRUE(waitForFrames(run, 2)) << "no frame after the resize";
    expectFrame(640, 400);
}

// Each redraw starts from a window painted magenta by the test, so a frame that
// is not drawn in full shows; every redraw must give the first frame exactly.
TEST_P(PixelRedrawTest, RedrawsGiveTheIdenticalImage)
{
    Image first;
    expectFrame(500, 500, &first);
    const int redraws = 5;
    GC gc = XCreateGC(run.display, run.window, 0, nullptr);
    XSetForeground(run.display, gc, 0xFF00FF);
    for (int i = 1; i <= redraws; ++i) {
        XFillRectangle(run.display, run.window, gc, 0, 0, 500, 500);
        requestRedraw(run);
        ASSERT_TRUE(waitForFrames(run, 1 + i)) << "no frame for redraw " << i;
        Image again;
        captureUntilMatching(run, expectedFrame(scene, 500, 500), 3.0, &again);
        EXPECT_TRUE(again.pixels == first.pixels) << "redraw " << i << " differs from the first";
    }
    XFreeGC(run.display, gc);
}

const ImageCase linuxCases[] = {{"Both", true, true, true},
                                {"LightMissing", false, true, true},
                                {"WallMissing", true, false, true},
                                {"NoneThere", false, false, true},
                                {"ExtensionMissing", true, true, false}};
INSTANTIATE_TEST_SUITE_P(Images, PixelTest, testing::ValuesIn(linuxCases), CaseName());
INSTANTIATE_TEST_SUITE_P(Images, PixelRedrawTest, testing::ValuesIn(linuxCases), CaseName());

// Wine hides the extension through its registry (DisabledExtensions).
INSTANTIATE_TEST_SUITE_P(
    Windows, PixelTest,
    testing::Values(ImageCase{"Both", true, true, true, Launcher::Wine},
                    ImageCase{"LightMissing", false, true, true, Launcher::Wine},
                    ImageCase{"WallMissing", true, false, true, Launcher::Wine},
                    ImageCase{"NoneThere", false, false, true, Launcher::Wine},
                    ImageCase{"ExtensionMissing", true, true, false, Launcher::Wine}),
    CaseName());

// The web build: the page on each case's data package, in headless Chromium.
INSTANTIATE_TEST_SUITE_P(
    Browser, PixelTest,
    testing::Values(ImageCase{"Both", true, true, true, Launcher::Browser},
                    ImageCase{"LightMissing", false, true, true, Launcher::Browser},
                    ImageCase{"WallMissing", true, false, true, Launcher::Browser},
                    ImageCase{"NoneThere", false, false, true, Launcher::Browser}),
    CaseName());

// The light map's row 0 and column 21 lie outside the range the square maps;
// their red may reach the square only where linear filtering blends them in:
// the 7 pixel rows at its bottom and the 7 columns at its right.
TEST(LightMapEdgesTest, OutOfRangeTexelsShowOnlyAsBlendsAtBottomAndRightEdges)
{
    DemoOptions options;
    options.folder = makeTempFolder("edges");
    writeImage(options.folder + "/light.bmp", lightMapImage());
    writeImage(options.folder + "/wall.bmp", makeImage(256, 256, {255, 255, 255}));
    DemoRun run;
    ASSERT_TRUE(startDemoWindow(run, options));
    Image shot;
    const Image white = makeImage(256, 256, {255, 255, 255}), lightMap = lightMapImage();
    Scene scene;
    scene.lightMap = &lightMap;
    scene.wall = &white;
    captureUntilMatching(run, expectedFrame(scene, 500, 500), 3.0, &shot);

    int bottom = 0, right = 0, elsewhere = 0;
    for (int y = 100; y < 400; ++y) {
        for (int x = 100; x < 400; ++x) {
            if (shot.at(x, y).r <= pixelTolerance)
                continue;
            (y < 107 ? bottom : x >= 393 ? right : elsewhere) += 1;
        }
    }
    EXPECT_GT(bottom, 0);
    EXPECT_GT(right, 0);
    EXPECT_EQ(elsewhere, 0);
}

} // namespace
