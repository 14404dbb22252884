// Runs the real lightmap binary on the private X server, in a folder of the
// test's choosing: the Linux build with the GL probe preloaded so that frames
// can be counted, or the Windows build under Wine, whose GL trace counts them;
// or the web build's page in headless Chromium, on the folder's images.
// Include <gtest/gtest.h> before this header: Xlib's None macro breaks it.
#ifndef LIGHTMAP_TESTS_DEMO_H
#define LIGHTMAP_TESTS_DEMO_H

#include "browser.h"
#include "cases.h"
#include "process.h"
#include "xwindow.h"

#include <string>
#include <vector>

struct DemoOptions {
    Launcher launcher = Launcher::Native;
    std::string folder;                 // working directory; empty: a fresh empty one
    std::vector<std::string> arguments; // after the program name
    bool withoutMultitexture = false;   // the driver (probe or Wine) hides the extension
    // Native only:
    std::vector<std::string> env;     // e.g. LIGHTMAP_PROBE_NULL_PROCS=...
    std::string traceFile;            // non-empty: run under `apitrace trace`
    std::vector<std::string> wrapper; // a command to run the program under
};

struct DemoRun {
    Launcher launcher = Launcher::Native;
    Child child;
    std::string folder;
    std::string flushFile;
    Display* display = nullptr; // the test's own connection, once the window is up
    Window window = 0;
    BrowserRun browser; // the web build's page instead of a window

    DemoRun() = default;
    DemoRun(const DemoRun&) = delete;
    DemoRun& operator=(const DemoRun&) = delete;
    ~DemoRun();
};

// Starts the demo on this test process's own X server, waits up to `seconds`
// for its first frame and then briefly for the one window titled as the demo's;
// false, with the reason and the program's state and stderr recorded as a
// failure, as soon as the program ends or either is late. The web build instead
// opens its page on the folder's images, until the program has started.
bool startDemoWindow(DemoRun& run, const DemoOptions& options, double seconds = 10.0);

// Exposes the whole window, so that GLUT calls the display callback again.
void requestRedraw(DemoRun& run);

// Waits until the program has flushed `frames` frames in all; false at once if
// it ends before that.
bool waitForFrames(DemoRun& run, int frames, double seconds = 10.0);

std::string demoStdout(DemoRun& run);

// The window's or the page's canvas's pixels, bottom row first.
Image captureDemo(DemoRun& run);

// `text` as a line of the program's standard output: Windows ends it in CR LF.
std::string outputLine(const DemoRun& run, const std::string& text);

std::string demoStderr(const DemoRun& run);

// "lightmap exited with status 1; stderr: ...", for failure messages.
std::string demoState(DemoRun& run);

std::string sourcePath(const std::string& relative);

#endif
