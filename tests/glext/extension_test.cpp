// The multitexture decision on the real binary, with the driver's answers bent
// by the GL probe: what the program prints, that it survives its frames, and
// that the square shows (white: no images here) only with the extension.
#include "support/launcher.h"

#include <gtest/gtest.h>

namespace {

const std::string notFound = "ARB_Multitexture not found, get a better graphics card!\n";
const std::string noString = "Fatal error, no extensions string!\n";

struct ExtensionCase {
    const char* name;
    const char* extensions; // replaces GL_EXTENSIONS; null: the driver's own
    const char* nullProcs;  // lookups that yield null
    std::string expectedOutput;
    bool available;
    friend void PrintTo(const ExtensionCase& c, std::ostream* out) { *out << c.name; }
};

class ExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionTest, DecidesPrintsOnceAndNeverCallsNull)
{
    const ExtensionCase& c = GetParam();
    DemoOptions options;
    if (c.extensions != nullptr)
        options.env.push_back(std::string("LIGHTMAP_PROBE_EXTENSIONS=") + c.extensions);
    if (c.nullProcs != nullptr)
        options.env.push_back(std::string("LIGHTMAP_PROBE_NULL_PROCS=") + c.nullProcs);
    const std::unique_ptr<Demo> demo = startDemo(Launcher::Native, options);
    ASSERT_TRUE(demo);

    // A second frame, drawn on the program's own state from the first.
    exposeWindow(demo->window);
    EXPECT_TRUE(waitForFrames(*demo, 2)) << "no redraw after the window was exposed";
    EXPECT_TRUE(childRunning(demo->child)) << demo->state();
    EXPECT_EQ(demo->output(), c.expectedOutput);

    Scene scene;
    scene.multitexture = c.available;
    const FrameDifference difference = captureUntilMatching(*demo, expectedFrame(scene, 500, 500));
    EXPECT_LE(difference.worst, pixelTolerance) << describe(difference);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, ExtensionTest,
    testing::Values(
        ExtensionCase{"DriverOwn", nullptr, nullptr, "", true},
        ExtensionCase{"ListedFirst", "GL_ARB_multitexture GL_EXT_abgr", nullptr, "", true},
        ExtensionCase{"ListedAmongOthers", "GL_EXT_abgr GL_ARB_multitexture GL_EXT_bgra", nullptr,
                      "", true},
        ExtensionCase{"ListedLast", "GL_EXT_abgr GL_ARB_multitexture", nullptr, "", true},
        ExtensionCase{"InsideLongerName", "GL_EXT_abgr GL_XARB_multitexture_extra", nullptr, "",
                      true},
        ExtensionCase{"Absent", "GL_EXT_abgr GL_EXT_bgra", nullptr, notFound, false},
        ExtensionCase{"EmptyString", "", nullptr, notFound, false},
        ExtensionCase{"CapitalM", "GL_ARB_Multitexture", nullptr, notFound, false},
        ExtensionCase{"NullString", "(null)", nullptr, noString, false},
        ExtensionCase{"ActiveTextureLookupNull", nullptr, "glActiveTextureARB", notFound, false},
        ExtensionCase{"TexCoordLookupNull", nullptr, "glMultiTexCoord2fARB", notFound, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
