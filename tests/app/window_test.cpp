// The window as a user's X server sees it: exactly one top-level window with the
// demo's title, 500x500 at (100, 100), whatever the command line says, and a
// program that fails fast, with GLUT's own message, when there is no display.
// Under Wine the X window is the Windows client area: its title and size count.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "support/cases.h"
#include "support/demo.h"

#include <sys/wait.h>
#include <tuple>

namespace {

using Arguments = std::vector<std::string>;

class WindowTest : public testing::TestWithParam<std::tuple<Launcher, Arguments>> {};

TEST_P(WindowTest, OneWindowTitledSizedAndPlacedAsBuilt)
{
    DemoOptions options;
    std::tie(options.launcher, options.arguments) = GetParam();
    DemoRun run;
    ASSERT_TRUE(startDemoWindow(run, options));

    const WindowGeometry geometry = windowGeometry(run.display, run.window);
    if (options.launcher == Launcher::Native) {
        EXPECT_EQ(geometry.x, 100);
        EXPECT_EQ(geometry.y, 100);
    }
    EXPECT_EQ(geometry.width, 500);
    EXPECT_EQ(geometry.height, 500);
    EXPECT_TRUE(childRunning(run.child)) << "the program must stay in its event loop";
    EXPECT_EQ(demoStdout(run), "");
}

// GLUT takes out the options it knows (and the program's own size and place,
// set after glutInit, win over -geometry); anything else is ignored.
INSTANTIATE_TEST_SUITE_P(CommandLines, WindowTest,
                         testing::Combine(testing::Values(Launcher::Native),
                                          testing::Values(Arguments{},
                                                          Arguments{"--unknown", "value", "x"},
                                                          Arguments{"-geometry", "200x150+7+9"},
                                                          Arguments{"-direct", "-sync"})));
INSTANTIATE_TEST_SUITE_P(Windows, WindowTest,
                         testing::Combine(testing::Values(Launcher::Wine),
                                          testing::Values(Arguments{})));

struct NoDisplayCase {
    const char* name;
    bool unset;
    const char* display;
};

void PrintTo(const NoDisplayCase& c, std::ostream* out)
{
    *out << c.name;
}

class NoDisplayTest : public testing::TestWithParam<NoDisplayCase> {};

TEST_P(NoDisplayTest, FailsFastWithToolkitMessage)
{
    ChildOptions options;
    options.argv = {LIGHTMAP_BINARY};
    if (GetParam().unset)
        options.unsetEnv = {"DISPLAY"};
    else
        options.env = {std::string("DISPLAY=") + GetParam().display};
    options.workingDirectory = makeTempFolder("nodisplay");
    options.outputDirectory = options.workingDirectory;
    Child child;
    startChild(child, options);

    ASSERT_TRUE(waitForExit(child, 5.0)) << "lightmap hung without a display";
    ASSERT_TRUE(WIFEXITED(child.status));
    EXPECT_NE(WEXITSTATUS(child.status), 0);
    EXPECT_NE(readFile(child.stderrPath).find("failed to open display"), std::string::npos)
        << readFile(child.stderrPath);
    EXPECT_EQ(readFile(child.stdoutPath), "");
}

INSTANTIATE_TEST_SUITE_P(Displays, NoDisplayTest,
                         testing::Values(NoDisplayCase{"Unset", true, ""},
                                         NoDisplayCase{"NoServer", false, ":4999"}),
                         CaseName());

} // namespace
