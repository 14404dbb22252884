// The light-mapped square on the real driver, pixel by pixel: every pixel of the
// window against the CPU model for each mix of images, under each launcher, and
// after a resize and over repeated redraws where the launcher can cause those.
// Images are made here, with hard edges and marker texels.
#include "support/launcher.h"

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

struct PixelCase : ImageFiles {
    bool extension = true;
    bool imageMagick = false; // the BMPs written by the README's commands from PNGs
    bool plainWall = false;   // a white wall, so the light map shows as it is
    bool baked = false;       // the light map the page bakes from these lights, as saved
};
const Image bakedMap = bakedLightMap(bakeOf("lights=0.25,0.3,0.1,0.5,ff2020&ambient=102040"));

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

// Starts the demo on the case's images, unless the launcher cannot, which skips
// or fails the case with the reason.
class PixelTest : public testing::TestWithParam<std::tuple<PixelCase, Launcher>> {
  protected:
    void SetUp() override
    {
        const auto [c, launcher] = GetParam();
        DemoOptions options;
        options.folder = makeTempFolder("pixels");
        options.withoutMultitexture = !c.extension;
        const std::string kind = c.imageMagick ? ".png" : ".bmp";
        const auto write = c.imageMagick ? writeImagePng : writeImageBmp;
        ASSERT_TRUE(!c.light ||
                    write(options.folder + "/light" + kind, c.baked ? bakedMap : lightMap));
        ASSERT_TRUE(!c.wall || write(options.folder + "/wall" + kind, c.plainWall ? white : wall));
        if (c.imageMagick)
            convertAsTheReadmeSays(options.folder);
        demo = startDemo(launcher, options);
        if (!demo)
            return; // skipped or failed, saying why
        scene.lightMap = !c.light ? nullptr : c.baked ? &bakedMap : &lightMap;
        scene.wall = !c.wall ? nullptr : c.plainWall ? &white : &wall;
        scene.multitexture = c.extension;
    }

    // Every pixel of the window, against the model for a viewport of that size.
    Image expectFrame(int width, int height)
    {
        const Image expected = expectedFrame(scene, width, height);
        const Image shot = captureMatching(*demo, expected);
        EXPECT_TRUE(imagesMatch(expected, shot, pixelTolerance));
        return shot;
    }

    const Image lightMap = lightMapImage(), wall = wallImage(),
                white = makeImage(256, 256, {255, 255, 255});
    Scene scene;
    std::unique_ptr<Demo> demo;
};

TEST_P(PixelTest, EveryPixelMatchesTheModel)
{
    expectFrame(500, 500);
    const std::string notFound = "ARB_Multitexture not found, get a better graphics card!\n";
    EXPECT_EQ(demo->output(), std::get<0>(GetParam()).extension ? "" : notFound);
}

// Each redraw starts from a window painted magenta by the test, so a frame that
// is not drawn in full shows; every redraw must give the first frame exactly.
class PixelRedrawTest : public PixelTest {};

TEST_P(PixelRedrawTest, RedrawsGiveTheIdenticalImage)
{
    const Image first = expectFrame(500, 500);
    for (int redraw = 1; redraw <= 5; ++redraw) {
        demo->paint({255, 0, 255});
        demo->expose();
        ASSERT_TRUE(waitForFrames(*demo, 1 + redraw)) << "no frame for redraw " << redraw;
        EXPECT_TRUE(imagesMatch(first, captureMatching(*demo, first, 0), 0)) << "redraw " << redraw;
    }
}

// No reshape callback: GLUT's default makes the viewport the new window size,
// and the unit view stretches with it.
class PixelResizeTest : public PixelTest {};

TEST_P(PixelResizeTest, ResizedWindowStretchesTheView)
{
    demo->resize(640, 400);
    ASSERT_TRUE(waitForFrames(*demo, 2)) << "no frame after the resize";
    expectFrame(640, 400);
}

// The light map's row 0 and column 21 lie outside the range the square maps;
// their red may reach the square only where linear filtering blends them in:
// the 7 pixel rows at its bottom and the 7 columns at its right.
class LightMapEdgesTest : public PixelTest {};

TEST_P(LightMapEdgesTest, OutOfRangeTexelsShowOnlyAsBlendsAtBottomAndRightEdges)
{
    const Image shot = expectFrame(500, 500);
    int bottom = 0, right = 0, elsewhere = 0;
    for (int y = 100; y < 400; ++y) {
        for (int x = 100; x < 400; ++x) {
            if (shot.at(x, y).r > pixelTolerance)
                (y < 107 ? bottom : x >= 393 ? right : elsewhere) += 1;
        }
    }
    EXPECT_GT(bottom, 0);
    EXPECT_GT(right, 0);
    EXPECT_EQ(elsewhere, 0);
}

// Each mix of image files, then both images without the extension, then both as
// the README's commands make them, then a light map baked by the page's rules.
std::vector<PixelCase> pixelCases(bool converted = true)
{
    std::vector<PixelCase> cases;
    for (const ImageFiles& files : imageFiles)
        cases.push_back({files});
    cases.push_back({{{"ExtensionMissing"}, true, true}, false});
    if (converted)
        cases.insert(cases.end(), {PixelCase{{{"ImageMagick"}, true, true}, true, true},
                                   PixelCase{{{"Baked"}, true, true}, true, false, false, true}});
    return cases;
}
INSTANTIATE_FOR(Native, PixelTest, testing::ValuesIn(pixelCases()));
INSTANTIATE_FOR(Wine, PixelTest, testing::ValuesIn(pixelCases()));
INSTANTIATE_FOR(Browser, PixelTest, testing::ValuesIn(pixelCases()));
// Only the program's own X window can be painted over, exposed and resized from
// the X side: Wine repaints an exposed window from its own copy, and Wine 10
// keeps the program's window at its size.
INSTANTIATE_FOR(Native, PixelRedrawTest, testing::ValuesIn(pixelCases(false)));
INSTANTIATE_FOR(Native, PixelResizeTest, testing::ValuesIn(pixelCases(false)));
const PixelCase plainWall{{{"PlainWall"}, true, true}, true, false, true};
INSTANTIATE_FOR(Native, LightMapEdgesTest, testing::Values(plainWall));
INSTANTIATE_FOR(Wine, LightMapEdgesTest, testing::Values(plainWall));
INSTANTIATE_FOR(Browser, LightMapEdgesTest, testing::Values(plainWall));

} // namespace
