// The light-mapped square on the real driver, pixel by pixel: every pixel of the
// window against the CPU model, for each mix of images, in the Linux build, the
// Windows build under Wine and the web build in Chromium, and (Linux) after a
// resize and over repeated redraws. Images are made here, with hard edges and
// marker texels.
#include "support/launcher.h"

#include <gtest/gtest.h>

#include <tuple>

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

struct ImageCase {
    const char* name;
    bool light, wall, extension;
    bool imageMagick = false; // the BMPs written by the README's commands from PNGs
    friend void PrintTo(const ImageCase& c, std::ostream* out) { *out << c.name; }
};

// Runs the README's ImageMagick commands ("convert IMAGE ... BMP3:light.bmp", and
// the same for the wall) in `folder`, on its light.png and wall.png.
void convertAsTheReadmeSays(const std::string& folder)
{
    int commands = 0;
    for (const std::string& line : splitLines(readFile(sourcePath("README.md")))) {
        for (const std::string which : {"light", "wall"}) {
            if (line.rfind("convert ", 0) != 0 ||
                line.find("BMP3:" + which + ".bmp") == std::string::npos)
                continue;
            ChildOptions options;
            options.argv = {"sh", "-c",
                            "convert " + which + ".png" + line.substr(line.find(' ', 8))};
            options.workingDirectory = folder;
            const ToolRun run = runTool(options, 60.0);
            EXPECT_EQ(run.status, 0) << line << ": " << run.state << ": " << run.err;
            ++commands;
        }
    }
    EXPECT_EQ(commands, 2) << "README.md should give one command for each image";
}

// Starts the demo in a folder holding the case's images and waits for its window.
class PixelTest : public testing::TestWithParam<std::tuple<ImageCase, Launcher>> {
  protected:
    void SetUp() override
    {
        const auto [c, launcher] = GetParam();
        DemoOptions options;
        options.folder = makeTempFolder("pixels");
        options.withoutMultitexture = !c.extension;
        SKIP_IF_LAUNCHER_MISSING(launcher, options);
        // The page is handed PNGs, as a visitor would choose them.
        const bool png = launcher == Launcher::Browser || c.imageMagick;
        const auto write = png ? writeImagePng : writeImageBmp;
        ASSERT_TRUE(!c.light ||
                    write(options.folder + (png ? "/light.png" : "/light.bmp"), lightMap));
        ASSERT_TRUE(!c.wall || write(options.folder + (png ? "/wall.png" : "/wall.bmp"), wall));
        if (c.imageMagick)
            convertAsTheReadmeSays(options.folder);
        demo = startDemo(launcher, options);
        ASSERT_TRUE(demo);
        scene.lightMap = c.light ? &lightMap : nullptr;
        scene.wall = c.wall ? &wall : nullptr;
        scene.multitexture = c.extension;
    }

    void expectFrame(int width, int height, Image* shot = nullptr)
    {
        const FrameDifference difference =
            captureUntilMatching(*demo, expectedFrame(scene, width, height), 3.0, shot);
        EXPECT_LE(difference.worst, pixelTolerance) << describe(difference);
        std::printf("[ worst    ] %s %dx%d: %d\n", std::get<0>(GetParam()).name, width, height,
                    difference.worst);
    }

    const Image lightMap = lightMapImage();
    const Image wall = wallImage();
    Scene scene;
    std::unique_ptr<Demo> demo;
};

TEST_P(PixelTest, EveryPixelMatchesTheModel)
{
    expectFrame(500, 500);
    const std::string message = "ARB_Multitexture not found, get a better graphics card!";
    EXPECT_EQ(demo->output(), std::get<0>(GetParam()).extension ? "" : message + demo->lineEnd());
    for (const std::string& fault : demo->faults())
        ADD_FAILURE() << fault;
}

// Redraws the test causes from the X side, each counted by the GL probe.
class PixelRedrawTest : public PixelTest {};

// No reshape callback: GLUT's default makes the viewport the new window size,
// and the unit view stretches with it.
TEST_P(PixelRedrawTest, ResizedWindowStretchesTheView)
{
    resizeWindow(demo->window, 640, 400);
    ASSERT_TRUE(waitForFrames(*demo, 2)) << "no frame after the resize";
    expectFrame(640, 400);
}

// Each redraw starts from a window painted magenta by the test, so a frame that
// is not drawn in full shows; every redraw must give the first frame exactly.
TEST_P(PixelRedrawTest, RedrawsGiveTheIdenticalImage)
{
    Image first;
    expectFrame(500, 500, &first);
    const int redraws = 5;
    for (int i = 1; i <= redraws; ++i) {
        paintWindow(demo->window, {255, 0, 255});
        exposeWindow(demo->window);
        ASSERT_TRUE(waitForFrames(*demo, 1 + i)) << "no frame for redraw " << i;
        Image again;
        captureUntilMatching(*demo, expectedFrame(scene, 500, 500), 3.0, &again);
        EXPECT_TRUE(again.pixels == first.pixels) << "redraw " << i << " differs from the first";
    }
}

const ImageCase imageCases[] = {{"Both", true, true, true},
                                {"LightMissing", false, true, true},
                                {"WallMissing", true, false, true},
                                {"NoneThere", false, false, true},
                                {"ExtensionMissing", true, true, false}};
INSTANTIATE_FOR_LAUNCHERS(PixelTest, testing::ValuesIn(imageCases));
// Resizing and painting the window come from the X side.
INSTANTIATE_FOR_LAUNCHER(Native, PixelRedrawTest, testing::ValuesIn(imageCases), Launcher::Native);
// The README's way to make the program's images from any image, for the desktop.
INSTANTIATE_FOR_LAUNCHER(Converted, PixelTest,
                         testing::Values(ImageCase{"ImageMagick", true, true, true, true}),
                         Launcher::Native);

// The light map's row 0 and column 21 lie outside the range the square maps;
// their red may reach the square only where linear filtering blends them in:
// the 7 pixel rows at its bottom and the 7 columns at its right.
TEST(LightMapEdgesTest, OutOfRangeTexelsShowOnlyAsBlendsAtBottomAndRightEdges)
{
    DemoOptions options;
    options.folder = makeTempFolder("edges");
    ASSERT_TRUE(writeImageBmp(options.folder + "/light.bmp", lightMapImage()));
    ASSERT_TRUE(writeImageBmp(options.folder + "/wall.bmp", makeImage(256, 256, {255, 255, 255})));
    const std::unique_ptr<Demo> demo = startDemo(Launcher::Native, options);
    ASSERT_TRUE(demo);
    Image shot;
    const Image white = makeImage(256, 256, {255, 255, 255}), lightMap = lightMapImage();
    Scene scene;
    scene.lightMap = &lightMap;
    scene.wall = &white;
    captureUntilMatching(*demo, expectedFrame(scene, 500, 500), 3.0, &shot);

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
