// The program's GL calls, traced with apitrace on the real driver, against the
// hand-written sequences in tests/fixtures: start-up, the uploads of the images
// that are there (light map first), then two identical frames of 24 calls (the
// second forced by exposing the window), or blank ones without the extension.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "bmp_writer.h"
#include "support/cases.h"
#include "support/demo.h"
#include "support/trace.h"

namespace {

void append(std::vector<std::string>& calls, const std::string& fixture, int times = 1)
{
    const std::vector<std::string> more = readCallFixture(fixture);
    for (int i = 0; i < times; ++i)
        calls.insert(calls.end(), more.begin(), more.end());
}

class CallOrderTest : public testing::TestWithParam<ImageCase> {};

TEST_P(CallOrderTest, StartUpUploadsThenTwoIdenticalFrames)
{
    const ImageCase files = GetParam();
    DemoOptions options;
    options.folder = makeTempFolder("images");
    if (files.light) {
        ASSERT_TRUE(writeBmp(options.folder + "/light.bmp", 32, 32,
                             std::vector<std::uint8_t>(32 * 32 * 3, 90)));
    }
    if (files.wall) {
        ASSERT_TRUE(writeBmp(options.folder + "/wall.bmp", 256, 256,
                             std::vector<std::uint8_t>(256 * 256 * 3, 160)));
    }
    options.traceFile = makeTempFolder("trace") + "/lightmap.trace";
    options.env = {"LIGHTMAP_PROBE_EXIT_AFTER=2"};
    if (!files.extension)
        options.env.push_back("LIGHTMAP_PROBE_EXTENSIONS=GL_EXT_abgr");
    DemoRun run;
    ASSERT_TRUE(startDemoWindow(run, options));
    requestRedraw(run);
    ASSERT_TRUE(waitForExit(run.child, 10.0)) << "the traced run did not end after two frames";

    std::vector<std::string> expected = readCallFixture("startup.calls");
    if (files.extension)
        append(expected, "lookups.calls");
    append(expected, "view.calls");
    if (files.light)
        append(expected, "light.calls");
    if (files.wall)
        append(expected, "wall.calls");
    append(expected, files.extension ? "frame.calls" : "blank-frame.calls", 2);
    const std::vector<std::string> traced = programCalls(options.traceFile);
    EXPECT_EQ(traced, expected) << "traced:\n"
                                << listCalls(traced) << "expected:\n"
                                << listCalls(expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, CallOrderTest,
                         testing::Values(ImageCase{"Both", true, true, true},
                                         ImageCase{"LightMissing", false, true, true},
                                         ImageCase{"WallMissing", true, false, true},
                                         ImageCase{"ExtensionMissing", true, true, false}),
                         CaseName());

} // namespace
