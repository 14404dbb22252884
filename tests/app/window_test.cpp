// The window as a user's X server sees it: exactly one top-level window with the
// demo's title, 500x500 at (100, 100), whatever the command line says, and a
// program that fails fast, with GLUT's own message, when there is no display.
// Under Wine the X window is the Windows client area: its title and size count.
#include "support/launcher.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <tuple>

namespace {

using Arguments = std::vector<std::string>;

struct CommandLine {
    const char* name;
    Arguments arguments;
    friend void PrintTo(const CommandLine& c, std::ostream* out) { *out << c.name; }
};

class WindowTest : public testing::TestWithParam<std::tuple<CommandLine, Launcher>> {};

TEST_P(WindowTest, OneWindowTitledSizedAndPlacedAsBuilt)
{
    const auto [commandLine, launcher] = GetParam();
    DemoOptions options;
    options.arguments = commandLine.arguments;
    SKIP_IF_LAUNCHER_MISSING(launcher, options);
    const std::unique_ptr<Demo> demo = startDemo(launcher, options);
    ASSERT_TRUE(demo);

    const WindowGeometry geometry = windowGeometry(demo->window);
    if (launcher == Launcher::Native) { // Wine's window is the client area, placed by Wine
        EXPECT_EQ(geometry.x, 100);
        EXPECT_EQ(geometry.y, 100);
    }
    EXPECT_EQ(geometry.width, 500);
    EXPECT_EQ(geometry.height, 500);
    EXPECT_TRUE(childRunning(demo->child)) << "the program must stay in its event loop";
    EXPECT_EQ(demo->output(), "");
}

// GLUT takes out the options it knows (and the program's own size and place,
// set after glutInit, win over -geometry); anything else is ignored.
const CommandLine commandLines[] = {{"None", {}},
                                    {"Unknown", {"--unknown", "value", "x"}},
                                    {"Geometry", {"-geometry", "200x150+7+9"}},
                                    {"DirectSync", {"-direct", "-sync"}}};
INSTANTIATE_FOR_LAUNCHER(Native, WindowTest, testing::ValuesIn(commandLines), Launcher::Native);
// The page has a canvas, not a window: the Browser cases check its pixels.
INSTANTIATE_FOR_LAUNCHER(Windows, WindowTest, testing::Values(commandLines[0]), Launcher::Wine);

struct NoDisplayCase {
    const char* name;
    const char* display; // null: DISPLAY unset
    friend void PrintTo(const NoDisplayCase& c, std::ostream* out) { *out << c.name; }
};

class NoDisplayTest : public testing::TestWithParam<NoDisplayCase> {};

TEST_P(NoDisplayTest, FailsFastWithToolkitMessage)
{
    const char* display = GetParam().display;
    ChildOptions options;
    options.argv = {"env", display ? std::string("DISPLAY=") + display : "-uDISPLAY",
                    LIGHTMAP_BINARY};
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
                         testing::Values(NoDisplayCase{"Unset", nullptr},
                                         NoDisplayCase{"NoServer", ":4999"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
