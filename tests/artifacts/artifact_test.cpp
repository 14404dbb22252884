// What `make dist` makes, each unpacked in a fresh place and started as its user
// would: the Debian package's launcher from an unrelated folder, the Windows zip's
// exe under Wine, the web zip's page in Chromium. With the case's images in place
// of the demo's, each must show the CPU model's picture of them and say nothing.
#include "support/launcher.h"

namespace {

class ArtifactTest : public testing::TestWithParam<std::tuple<ImageFiles, Launcher>> {};

TEST_P(ArtifactTest, ShowsTheModelsPictureOfItsImages)
{
    const auto [files, launcher] = GetParam();
    DemoOptions options;
    options.folder = makeTempFolder("artifact");
    Image light = makeImage(32, 32), wall = makeImage(256, 256, {230, 200, 160});
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            light.at(x, y) = {static_cast<std::uint8_t>(8 * x), 200,
                              static_cast<std::uint8_t>(8 * y)};
    }
    for (int y = 0; y < 256; y += 2)
        wall.at(y, y) = wall.at(255 - y, y) = {40, 40, 90};
    ASSERT_TRUE(!files.light || writeImageBmp(options.folder + "/light.bmp", light));
    ASSERT_TRUE(!files.wall || writeImageBmp(options.folder + "/wall.bmp", wall));
    const std::unique_ptr<Demo> demo = startDemo(launcher, options);
    if (!demo)
        return; // skipped or failed, saying why
    Scene scene;
    scene.lightMap = files.light ? &light : nullptr;
    scene.wall = files.wall ? &wall : nullptr;
    const Image expected = expectedFrame(scene, 500, 500);
    EXPECT_TRUE(imagesMatch(expected, captureMatching(*demo, expected), pixelTolerance));
    EXPECT_EQ(demo->output(), "");
}

// The one case that shows an artifact finds its images where it looks for them.
INSTANTIATE_FOR(Deb, ArtifactTest, testing::Values(imageFiles[0]));
INSTANTIATE_FOR(WindowsZip, ArtifactTest, testing::Values(imageFiles[0]));
INSTANTIATE_FOR(BrowserZip, ArtifactTest, testing::Values(imageFiles[0]));

} // namespace
