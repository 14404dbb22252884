// A whole run of the real program under valgrind memcheck: start-up with both
// images, four frames (three forced by exposing the window), then exit. No
// invalid read or write and no definite leak may remain once the driver's own
// are suppressed (tests/valgrind.supp says which and why).
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "bmp_writer.h"
#include "support/demo.h"

#include <sys/wait.h>

namespace {

TEST(MemcheckTest, FullRunHasNoErrorsOfItsOwn)
{
    DemoOptions options;
    options.folder = makeTempFolder("memcheck");
    ASSERT_TRUE(writeBmp(options.folder + "/light.bmp", 32, 32,
                         std::vector<std::uint8_t>(32 * 32 * 3, 200)));
    ASSERT_TRUE(writeBmp(options.folder + "/wall.bmp", 256, 256,
                         std::vector<std::uint8_t>(256 * 256 * 3, 120)));
    const std::string log = options.folder + "/memcheck.log";
    options.wrapper = {"valgrind",
                       "--tool=memcheck",
                       "--error-exitcode=99",
                       "--leak-check=full",
                       "--errors-for-leak-kinds=definite",
                       "--keep-debuginfo=yes",
                       "--suppressions=" + sourcePath("tests/valgrind.supp"),
                       "--log-file=" + log};
    const int frames = 4;
    options.env = {"LIGHTMAP_PROBE_EXIT_AFTER=" + std::to_string(frames)};
    DemoRun run;
    ASSERT_TRUE(startDemoWindow(run, options, 120.0));
    for (int frame = 2; frame <= frames; ++frame) {
        requestRedraw(run);
        ASSERT_TRUE(waitForFrames(run, frame, 60.0)) << "no frame " << frame;
    }

    ASSERT_TRUE(waitForExit(run.child, 60.0)) << "the run did not end after its frames";
    const std::string report = readFile(log);
    EXPECT_TRUE(WIFEXITED(run.child.status) && WEXITSTATUS(run.child.status) == 0) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
}

} // namespace
