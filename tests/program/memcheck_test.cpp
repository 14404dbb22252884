// A whole run of the real program under valgrind memcheck: start-up with both
// images, four frames (three forced by exposing the window), then exit. No
// invalid read or write and no definite leak may remain once the driver's own
// are suppressed (tests/valgrind.supp says which and why).
#include "support/launcher.h"

#include <sys/wait.h>

namespace {

// valgrind runs only the Linux build.
TEST(MemcheckTest, HasNoErrorsOfItsOwn)
{
    DemoOptions options;
    options.folder = makeTempFolder("memcheck");
    ASSERT_TRUE(writeImageBmp(options.folder + "/light.bmp", makeImage(32, 32, {200, 200, 200})));
    ASSERT_TRUE(writeImageBmp(options.folder + "/wall.bmp", makeImage(256, 256, {120, 120, 120})));
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
    options.exitAfterFrames = frames;
    const std::unique_ptr<Demo> demo = startDemo(Launcher::Native, options, 120.0);
    if (!demo)
        return; // skipped or failed, saying why
    for (int frame = 2; frame <= frames; ++frame) {
        demo->expose();
        ASSERT_TRUE(waitForFrames(*demo, frame, 60.0)) << "no frame " << frame;
    }

    ASSERT_TRUE(pollUntil(60.0, [&] { return !demo->running(); }))
        << "the run did not end after its frames";
    const std::string report = readFile(log);
    EXPECT_EQ(demo->exitStatus(), 0) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
}

} // namespace
