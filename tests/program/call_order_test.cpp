// The program's GL calls, traced with apitrace on the real driver, in position:
// the trace of a bare GLUT window like the demo's (tools/bench/baseline, traced
// the same way at test time, so GLUT's calls follow the installed freeglut) with
// the baseline's own calls replaced by the hand-written sequences in
// tests/fixtures: start-up in place of its clear colour, the uploads of the
// images that are there (light map first), and a 24-call frame, or a blank one
// without the extension, in place of each of its two frames.
#include "support/launcher.h"

namespace {

// The trace's calls as the fixtures write them: "name(arguments)", without the
// result, and without apitrace's comments, its fake calls and the GLX calls
// but the lookups (-v: calls that change no state, such as those, are shown too).
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

// A hand-written fixture: one call a line; blank lines and # comments skipped.
std::vector<std::string> fixture(const std::string& name)
{
    std::vector<std::string> calls;
    for (const std::string& line : splitLines(readFile(sourcePath("tests/fixtures/" + name)))) {
        if (!line.empty() && line[0] != '#')
            calls.push_back(line);
    }
    EXPECT_FALSE(calls.empty()) << "empty or missing fixture " << name;
    return calls;
}

// The baseline's two frames, traced; it exits after its second.
std::vector<std::string> baselineCalls()
{
    const std::string trace = makeTempFolder("baseline") + "/baseline.trace";
    ChildOptions options;
    options.argv = {"apitrace", "trace", "--api", "gl", "-o", trace, LIGHTMAP_BASELINE};
    DemoOptions probe;
    probe.exitAfterFrames = 2;
    options.env = probeEnvironment(probe);
    const ToolRun run = runTool(options, 30.0);
    EXPECT_EQ(run.status, 0) << "the traced baseline " << run.state << ": " << run.err;
    return tracedCalls(trace);
}

std::string listCalls(const std::vector<std::string>& calls)
{
    std::string text;
    for (std::size_t i = 0; i < calls.size(); ++i)
        text += "  " + std::to_string(i) + ": " + calls[i] + "\n";
    return text;
}

struct CallCase : ImageFiles {
    bool extension = true;
};

class CallOrderTest : public testing::TestWithParam<CallCase> {};

TEST_P(CallOrderTest, GlutsCallsAndOursInPlace)
{
    const CallCase& files = GetParam();
    const bool extension = files.extension;
    DemoOptions options;
    options.folder = makeTempFolder("images");
    ASSERT_TRUE(!files.light ||
                writeImageBmp(options.folder + "/light.bmp", makeImage(32, 32, {90, 90, 90})));
    ASSERT_TRUE(!files.wall ||
                writeImageBmp(options.folder + "/wall.bmp", makeImage(256, 256, {160, 160, 160})));
    const std::string traceFile = makeTempFolder("trace") + "/lightmap.trace";
    options.wrapper = {"apitrace", "trace", "--api", "gl", "-o", traceFile};
    options.exitAfterFrames = 2;
    options.withoutMultitexture = !extension;
    const std::unique_ptr<Demo> demo = startDemo(Launcher::Native, options);
    if (!demo)
        return;          // skipped or failed, saying why
    if (demo->running()) // the second frame, unless GLUT drew it already
        demo->expose();
    ASSERT_TRUE(pollUntil(10.0, [&] { return !demo->running(); }))
        << "the traced run did not end after two frames";

    std::vector<std::string> ours = fixture("startup.calls");
    for (const auto& [name, wanted] : {std::pair{"lookups.calls", extension},
                                       {"view.calls", true},
                                       {"light.calls", files.light},
                                       {"wall.calls", files.wall}}) {
        if (wanted) {
            const std::vector<std::string> more = fixture(name);
            ours.insert(ours.end(), more.begin(), more.end());
        }
    }
    std::vector<std::string> frame = fixture(extension ? "frame.calls" : "blank-frame.calls");
    frame.pop_back(); // its glFlush, which stays the baseline's
    std::vector<std::string> expected;
    for (const std::string& call : baselineCalls()) {
        const bool clearColour = call.rfind("glClearColor(", 0) == 0,
                   clear = call.rfind("glClear(", 0) == 0;
        const std::vector<std::string>& instead = clearColour ? ours
                                                  : clear     ? frame
                                                              : std::vector{call};
        expected.insert(expected.end(), instead.begin(), instead.end());
    }
    const std::vector<std::string> traced = tracedCalls(traceFile);
    std::size_t at = 0;
    while (at < traced.size() && at < expected.size() && traced[at] == expected[at])
        ++at;
    EXPECT_EQ(traced, expected) << "first difference at call " << at << ": expected "
                                << (at < expected.size() ? expected[at] : "the end") << ", traced "
                                << (at < traced.size() ? traced[at] : "the end") << "\ntraced:\n"
                                << listCalls(traced) << "expected:\n"
                                << listCalls(expected);
}

std::vector<CallCase> callCases()
{
    std::vector<CallCase> cases;
    for (const ImageFiles& files : imageFiles)
        cases.push_back({files});
    cases.push_back({{{"ExtensionMissing"}, true, true}, false});
    return cases;
}

// apitrace runs only the Linux build.
INSTANTIATE_TEST_SUITE_P(Native, CallOrderTest, testing::ValuesIn(callCases()), caseName);

} // namespace
