// The program's GL calls, traced with apitrace on the real driver, against the
// hand-written sequences in tests/fixtures: start-up, then two identical frames
// (the second forced by mapping the window again).
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "support/demo.h"
#include "support/trace.h"
#include "support/xwindow.h"

namespace
{

TEST(CallOrderTest, StartUpThenTwoIdenticalFrames)
{
    const std::string traceFile = makeTempFolder("trace") + "/lightmap.trace";
    DemoOptions options;
    options.traceFile = traceFile;
    options.env = {"LIGHTMAP_PROBE_EXIT_AFTER=2"};
    DemoRun run;
    startDemo(run, options);
    ASSERT_TRUE(waitForFrames(run, 1)) << "no frame; stderr: " << demoStderr(run);

    Display* display = openTestDisplay();
    ASSERT_NE(display, nullptr);
    const Window window = waitForWindow(display, demoTitle, 5.0);
    ASSERT_NE(window, 0u);
    XUnmapWindow(display, window);
    XMapWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    ASSERT_TRUE(waitForExit(run.child, 10.0)) << "the traced run did not end after two frames";

    std::vector<std::string> expected = readCallFixture("startup.calls");
    const std::vector<std::string> frame = readCallFixture("frame.calls");
    expected.insert(expected.end(), frame.begin(), frame.end());
    expected.insert(expected.end(), frame.begin(), frame.end());
    const std::vector<std::string> traced = programCalls(traceFile);
    EXPECT_EQ(traced, expected) << "traced:\n"
                                << listCalls(traced) << "expected:\n"
                                << listCalls(expected);
}

} // namespace
