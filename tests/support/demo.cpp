// Starting the demo the same way for every test that looks at it from outside.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "demo.h"

DemoRun::~DemoRun()
{
    if (display != nullptr)
        XCloseDisplay(display);
}

void startDemo(DemoRun& run, const DemoOptions& options)
{
    run.folder = options.folder.empty() ? makeTempFolder("demo") : options.folder;
    const std::string output = makeTempFolder("output");
    run.flushFile = output + "/frames";

    ChildOptions child;
    if (!options.traceFile.empty())
        child.argv = {"apitrace", "trace", "--api", "gl", "-o", options.traceFile};
    child.argv.insert(child.argv.end(), options.wrapper.begin(), options.wrapper.end());
    child.argv.push_back(LIGHTMAP_BINARY);
    child.argv.insert(child.argv.end(), options.arguments.begin(), options.arguments.end());
    child.env = {std::string("LD_PRELOAD=") + LIGHTMAP_PROBE,
                 "LIGHTMAP_PROBE_FLUSH_FILE=" + run.flushFile};
    child.env.insert(child.env.end(), options.env.begin(), options.env.end());
    child.workingDirectory = run.folder;
    child.outputDirectory = output;
    startChild(run.child, child);
}

bool startDemoWindow(DemoRun& run, const DemoOptions& options, double seconds)
{
    startDemo(run, options);
    if (!waitForFrames(run, 1, seconds)) {
        ADD_FAILURE() << "no frame within " << seconds << " s; stderr: " << demoStderr(run);
        return false;
    }
    run.display = openTestDisplay();
    if (run.display == nullptr)
        return false;
    run.window = waitForWindow(run.display, demoTitle, seconds);
    if (run.window == 0)
        ADD_FAILURE() << "no single viewable window titled \"" << demoTitle << "\"";
    return run.window != 0;
}

void requestRedraw(DemoRun& run)
{
    XClearArea(run.display, run.window, 0, 0, 0, 0, True);
    XSync(run.display, False);
}

bool waitForFrames(DemoRun& run, int frames, double seconds)
{
    return waitForFileSize(run.flushFile, frames, seconds);
}

std::string demoStdout(const DemoRun& run)
{
    return readFile(run.child.stdoutPath);
}

std::string demoStderr(const DemoRun& run)
{
    return readFile(run.child.stderrPath);
}

std::string sourcePath(const std::string& relative)
{
    return std::string(LIGHTMAP_SOURCE_DIR) + "/" + relative;
}
