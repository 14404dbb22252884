// The multitexture decision on the real binary, with the driver's answers bent
// by the GL probe: what the program prints, that it survives its frames, and
// that the square shows (white: no images here) only with the extension.
#include "support/launcher.h"

namespace {

const std::string notFound = "ARB_Multitexture not found, get a better graphics card!\n";
const std::string noString = "Fatal error, no extensions string!\n";

struct ExtensionCase : NamedCase {
    const char* extensions; // replaces GL_EXTENSIONS; null: the driver's own
    const char* nullProcs;  // lookups that yield null
    std::string expectedOutput;
    bool available;
};

class ExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionTest, DecidesPrintsOnceAndNeverCallsNull)
{
    const ExtensionCase& c = GetParam();
    DemoOptions options;
    options.extensions = c.extensions;
    options.nullProcs = c.nullProcs;
    const std::unique_ptr<Demo> demo = startDemo(Launcher::Native, options);
    if (!demo)
        return; // skipped or failed, saying why

    // A second frame, drawn on the program's own state from the first.
    demo->expose();
    EXPECT_TRUE(waitForFrames(*demo, 2)) << "no redraw after the window was exposed";
    EXPECT_TRUE(demo->running()) << demo->state();
    EXPECT_EQ(demo->output(), c.expectedOutput);

    Scene scene;
    scene.multitexture = c.available;
    const Image expected = expectedFrame(scene, 500, 500);
    EXPECT_TRUE(imagesMatch(expected, captureMatching(*demo, expected), pixelTolerance));
}

// The probe bends the driver's answers, which only the Linux build takes.
INSTANTIATE_TEST_SUITE_P(
    Native, ExtensionTest,
    testing::Values(
        ExtensionCase{{"DriverOwn"}, nullptr, nullptr, "", true},
        ExtensionCase{{"ListedFirst"}, "GL_ARB_multitexture GL_EXT_abgr", nullptr, "", true},
        ExtensionCase{{"ListedAmongOthers"},
                      "GL_EXT_abgr GL_ARB_multitexture GL_EXT_bgra",
                      nullptr,
                      "",
                      true},
        ExtensionCase{{"ListedLast"}, "GL_EXT_abgr GL_ARB_multitexture", nullptr, "", true},
        ExtensionCase{
            {"InsideLongerName"}, "GL_EXT_abgr GL_XARB_multitexture_extra", nullptr, "", true},
        ExtensionCase{{"Absent"}, "GL_EXT_abgr GL_EXT_bgra", nullptr, notFound, false},
        ExtensionCase{{"EmptyString"}, "", nullptr, notFound, false},
        ExtensionCase{{"CapitalM"}, "GL_ARB_Multitexture", nullptr, notFound, false},
        ExtensionCase{{"NullString"}, "(null)", nullptr, noString, false},
        ExtensionCase{{"ActiveTextureLookupNull"}, nullptr, "glActiveTextureARB", notFound, false},
        ExtensionCase{{"TexCoordLookupNull"}, nullptr, "glMultiTexCoord2fARB", notFound, false}),
    caseName);

} // namespace
