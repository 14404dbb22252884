// The program's GL calls, traced with apitrace on the real driver, against the
// hand-written sequences in tests/fixtures: start-up, the uploads of the images
// that are there (light map first), then two identical frames of 24 calls (the
// second forced by exposing the window), or blank ones without the extension.
//
// GLUT's own calls are left out as a bare GLUT window like the demo's shows them
// here (tools/bench/baseline, traced the same way), so they follow the installed
// freeglut; the program makes no GLX call but its two entry-point lookups.
#include "support/launcher.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The trace's calls as the fixtures write them: "name(arguments)", without the
// result, and without apitrace's comments, its fake calls and other GLX calls
// (-v: calls that change no state, such as the lookups, are shown too).
std::vector<std::string> tracedCalls(const std::string& traceFile)
{
    ChildOptions options;
    options.argv = {"apitrace", "dump", "-v", "--call-nos=no", "--multiline=no", traceFile};
    const ToolRun dump = runTool(options, 30.0);
    EXPECT_EQ(dump.status, 0) << "apitrace dump " << dump.state << ": " << dump.err;
    std::vector<std::string> calls;
    for (const std::string& line : splitLines(dump.out)) {
        const std::size_t result = line.find(") = "), end = line.rfind(')');
        const std::string call = line.substr(0, (result != std::string::npos ? result : end) + 1);
        const bool glx = call.rfind("glX", 0) == 0 && call.rfind("glXGetProcAddress", 0) != 0;
        if (!call.empty() && !glx && line.find("// fake") == std::string::npos)
            calls.push_back(call);
    }
    return calls;
}

// GLUT's calls: the baseline's, less its own three.
const std::vector<std::string>& toolkitCalls()
{
    static std::vector<std::string> calls;
    if (!calls.empty())
        return calls;
    const std::string trace = makeTempFolder("baseline") + "/baseline.trace";
    ChildOptions options;
    options.argv = {"apitrace", "trace", "--api", "gl", "-o", trace, LIGHTMAP_BASELINE};
    options.env = {std::string("LD_PRELOAD=") + LIGHTMAP_PROBE, "LIGHTMAP_PROBE_EXIT_AFTER=1"};
    const ToolRun run = runTool(options, 30.0);
    EXPECT_EQ(run.status, 0) << "the traced baseline " << run.state << ": " << run.err;
    for (const std::string& call : tracedCalls(trace)) {
        const std::string name = call.substr(0, call.find('('));
        if (name != "glClearColor" && name != "glClear" && name != "glFlush")
            calls.push_back(call);
    }
    EXPECT_FALSE(calls.empty()) << "the baseline's trace shows no call of GLUT's";
    return calls;
}

std::vector<std::string> programCalls(const std::string& traceFile)
{
    std::vector<std::string> calls = tracedCalls(traceFile);
    const std::vector<std::string>& toolkit = toolkitCalls();
    calls.erase(std::remove_if(calls.begin(), calls.end(),
                               [&](const std::string& call) {
                                   return std::find(toolkit.begin(), toolkit.end(), call) !=
                                          toolkit.end();
                               }),
                calls.end());
    return calls;
}

// A hand-written fixture, `times` over: one call a line; blank lines and # comments skipped.
void append(std::vector<std::string>& calls, const std::string& fixture, int times = 1)
{
    std::vector<std::string> more;
    for (const std::string& line : splitLines(readFile(sourcePath("tests/fixtures/" + fixture)))) {
        if (!line.empty() && line[0] != '#')
            more.push_back(line);
    }
    EXPECT_FALSE(more.empty()) << "empty or missing fixture " << fixture;
    for (int i = 0; i < times; ++i)
        calls.insert(calls.end(), more.begin(), more.end());
}

std::string listCalls(const std::vector<std::string>& calls)
{
    std::string text;
    for (std::size_t i = 0; i < calls.size(); ++i)
        text += "  " + std::to_string(i) + ": " + calls[i] + "\n";
    return text;
}

struct ImageCase {
    const char* name;
    bool light, wall, extension;
    friend void PrintTo(const ImageCase& c, std::ostream* out) { *out << c.name; }
};

class CallOrderTest : public testing::TestWithParam<ImageCase> {};

TEST_P(CallOrderTest, StartUpUploadsThenTwoIdenticalFrames)
{
    const ImageCase files = GetParam();
    DemoOptions options;
    options.folder = makeTempFolder("images");
    ASSERT_TRUE(!files.light ||
                writeImageBmp(options.folder + "/light.bmp", makeImage(32, 32, {90, 90, 90})));
    ASSERT_TRUE(!files.wall ||
                writeImageBmp(options.folder + "/wall.bmp", makeImage(256, 256, {160, 160, 160})));
    const std::string traceFile = makeTempFolder("trace") + "/lightmap.trace";
    options.wrapper = {"apitrace", "trace", "--api", "gl", "-o", traceFile};
    options.env = {"LIGHTMAP_PROBE_EXIT_AFTER=2"};
    if (!files.extension)
        options.env.push_back("LIGHTMAP_PROBE_EXTENSIONS=GL_EXT_abgr");
    const std::unique_ptr<Demo> demo = makeNativeDemo();
    ASSERT_TRUE(demo->launch(options));
    ASSERT_TRUE(waitForFrames(*demo, 1)) << demo->state();
    // The second frame: the test exposes the window, unless GLUT drew it already.
    const WindowId window = childRunning(demo->child) ? waitForWindow(demoTitle, 2.0) : 0;
    if (window != 0)
        exposeWindow(window);
    ASSERT_TRUE(waitForExit(demo->child, 10.0)) << "the traced run did not end after two frames";

    std::vector<std::string> expected;
    append(expected, "startup.calls");
    if (files.extension)
        append(expected, "lookups.calls");
    append(expected, "view.calls");
    if (files.light)
        append(expected, "light.calls");
    if (files.wall)
        append(expected, "wall.calls");
    append(expected, files.extension ? "frame.calls" : "blank-frame.calls", 2);
    const std::vector<std::string> traced = programCalls(traceFile);
    EXPECT_EQ(traced, expected) << "traced:\n"
                                << listCalls(traced) << "expected:\n"
                                << listCalls(expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, CallOrderTest,
                         testing::Values(ImageCase{"Both", true, true, true},
                                         ImageCase{"LightMissing", false, true, true},
                                         ImageCase{"WallMissing", true, false, true},
                                         ImageCase{"ExtensionMissing", true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
