// Starting the demo the same way for every test that looks at it from outside.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "demo.h"

#include "wine.h"

#include <chrono>
#include <thread>

namespace {

// The first frame is drawn when the window is exposed, so by then the window
// exists; this only covers the X server's own lag.
const double windowSeconds = 2.0;

bool startDemo(DemoRun& run, const DemoOptions& options)
{
    if (!usePrivateDisplay())
        return false;
    const std::string output = makeTempFolder("output");
    run.flushFile = output + "/frames";

    ChildOptions child;
    if (options.launcher == Launcher::Wine) {
        if (!hideMultitextureInWine(options.withoutMultitexture))
            return false;
        child.argv = wineCommand();
        child.env = wineEnvironment();
    } else {
        if (!options.traceFile.empty())
            child.argv = {"apitrace", "trace", "--api", "gl", "-o", options.traceFile};
        child.argv.insert(child.argv.end(), options.wrapper.begin(), options.wrapper.end());
        child.argv.push_back(LIGHTMAP_BINARY);
        child.env = {std::string("LD_PRELOAD=") + LIGHTMAP_PROBE,
                     "LIGHTMAP_PROBE_FLUSH_FILE=" + run.flushFile};
        if (options.withoutMultitexture)
            child.env.push_back("LIGHTMAP_PROBE_EXTENSIONS=GL_EXT_abgr GL_EXT_bgra");
        child.env.insert(child.env.end(), options.env.begin(), options.env.end());
    }
    child.argv.insert(child.argv.end(), options.arguments.begin(), options.arguments.end());
    child.workingDirectory = run.folder;
    child.outputDirectory = output;
    startChild(run.child, child);
    return run.child.pid > 0;
}

long framesFlushed(const DemoRun& run)
{
    if (run.launcher == Launcher::Wine)
        return wineFrames(run.child.stderrPath);
    return fileSize(run.flushFile);
}

} // namespace

DemoRun::~DemoRun()
{
    if (display != nullptr)
        XCloseDisplay(display);
    if (launcher == Launcher::Wine) {
        stopChild(child);
        stopWine();
    }
}

bool startDemoWindow(DemoRun& run, const DemoOptions& options, double seconds)
{
    run.launcher = options.launcher;
    run.folder = options.folder.empty() ? makeTempFolder("demo") : options.folder;
    if (options.launcher == Launcher::Browser)
        return openDemoPage(run.browser, run.folder);
    if (!startDemo(run, options))
        return false;
    if (!waitForFrames(run, 1, seconds)) {
        ADD_FAILURE() << "no first frame (waited up to " << seconds << " s): " << demoState(run);
        return false;
    }
    run.display = openTestDisplay();
    if (run.display == nullptr)
        return false;
    run.window = waitForWindow(run.display, demoTitle, windowSeconds);
    if (run.window == 0) {
        std::string titles;
        for (const std::string& title : topLevelTitles(run.display))
            titles += " \"" + title + "\"";
        ADD_FAILURE() << "no single viewable window titled \"" << demoTitle
                      << "\"; top-level titles:" << titles << "; " << demoState(run);
    }
    return run.window != 0;
}

void requestRedraw(DemoRun& run)
{
    XClearArea(run.display, run.window, 0, 0, 0, 0, True);
    XSync(run.display, False);
}

bool waitForFrames(DemoRun& run, int frames, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        const bool running = childRunning(run.child); // before the count: a last frame counts
        if (framesFlushed(run) >= frames)
            return true;
        if (!running || std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string demoStdout(DemoRun& run)
{
    if (run.launcher == Launcher::Browser)
        return evaluate(run.browser, "document.getElementById('output').value");
    return readFile(run.child.stdoutPath);
}

Image captureDemo(DemoRun& run)
{
    if (run.launcher == Launcher::Browser)
        return captureCanvas(run.browser);
    return captureWindow(run.display, run.window);
}

std::string outputLine(const DemoRun& run, const std::string& text)
{
    return text + (run.launcher == Launcher::Wine ? "\r\n" : "\n");
}

std::string demoStderr(const DemoRun& run)
{
    return readFile(run.child.stderrPath);
}

std::string demoState(DemoRun& run)
{
    if (run.launcher == Launcher::Browser)
        return "chromium " + describeState(run.browser.chromium) + ", " +
               std::to_string(run.browser.consoleErrors.size()) + " console errors";
    return std::string(run.launcher == Launcher::Wine ? "lightmap.exe under Wine " : "lightmap ") +
           describeState(run.child) + "; stderr: " + demoStderr(run);
}

std::string sourcePath(const std::string& relative)
{
    return std::string(LIGHTMAP_SOURCE_DIR) + "/" + relative;
}
