// The window as a user's X server sees it: exactly one top-level window with the
// demo's title, 500x500, at (100, 100), whatever the command line says; and a
// program that fails fast, with GLUT's own message, when there is no display.
// Under Wine the X window is the Windows client area. The page has no window:
// the pixel cases check its canvas.
#include "support/launcher.h"

namespace {

struct CommandLine : NamedCase {
    std::vector<std::string> arguments;
};

class WindowTest : public testing::TestWithParam<std::tuple<CommandLine, Launcher>> {
  protected:
    std::unique_ptr<Demo> start() // null: skipped or failed, saying why
    {
        DemoOptions options;
        options.arguments = std::get<0>(GetParam()).arguments;
        return startDemo(std::get<1>(GetParam()), options);
    }
};

TEST_P(WindowTest, OneWindowTitledAndSizedAsBuilt)
{
    const std::unique_ptr<Demo> demo = start();
    if (!demo)
        return;                         // skipped or failed, saying why
    const Image shot = demo->capture(); // of the one window with the demo's title
    EXPECT_EQ(shot.width, 500);
    EXPECT_EQ(shot.height, 500);
    EXPECT_TRUE(demo->running()) << "the program must stay in its event loop";
    EXPECT_EQ(demo->output(), "");
}

// Wine puts the client area, which is the X window, inside a frame of its own.
class WindowPlaceTest : public WindowTest {};

TEST_P(WindowPlaceTest, PlacedAt100100)
{
    const std::unique_ptr<Demo> demo = start();
    if (!demo)
        return; // skipped or failed, saying why
    const Point at = demo->position();
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 100);
}

// GLUT takes out the options it knows (and the program's own size and place,
// set after glutInit, win over -geometry); anything else is ignored.
const CommandLine commandLines[] = {{{"None"}, {}},
                                    {{"Unknown"}, {"--unknown", "value", "x"}},
                                    {{"Geometry"}, {"-geometry", "200x150+7+9"}},
                                    {{"DirectSync"}, {"-direct", "-sync"}}};
INSTANTIATE_FOR(Native, WindowTest, testing::ValuesIn(commandLines));
INSTANTIATE_FOR(Wine, WindowTest, testing::ValuesIn(commandLines));
INSTANTIATE_FOR(Native, WindowPlaceTest, testing::ValuesIn(commandLines));

struct NoDisplayCase : NamedCase {
    const char* display; // null: DISPLAY unset
};

class NoDisplayTest : public testing::TestWithParam<NoDisplayCase> {};

TEST_P(NoDisplayTest, FailsFastWithToolkitMessage)
{
    const char* display = GetParam().display;
    ChildOptions options;
    options.argv = {"env", display ? std::string("DISPLAY=") + display : "-uDISPLAY",
                    LIGHTMAP_BINARY};
    options.workingDirectory = makeTempFolder("nodisplay");
    const ToolRun run = runTool(options, 5.0); // status -1: it hung, or a signal ended it
    EXPECT_GT(run.status, 0) << "lightmap " << run.state;
    EXPECT_NE(run.err.find("failed to open display"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(Native, NoDisplayTest,
                         testing::Values(NoDisplayCase{{"Unset"}, nullptr},
                                         NoDisplayCase{{"NoServer"}, ":4999"}),
                         caseName);

} // namespace
