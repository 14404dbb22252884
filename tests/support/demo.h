// Runs the real lightmap binary on the private X server, in a folder of the
// test's choosing, with the GL probe preloaded so that frames can be counted.
#ifndef LIGHTMAP_TESTS_DEMO_H
#define LIGHTMAP_TESTS_DEMO_H

#include "process.h"

#include <string>
#include <vector>

struct DemoOptions {
    std::string folder;                 // working directory; empty: a fresh empty one
    std::vector<std::string> arguments; // after the program name
    std::vector<std::string> env;       // e.g. LIGHTMAP_PROBE_EXTENSIONS=...
    std::string traceFile;              // non-empty: run under `apitrace trace`
    std::vector<std::string> wrapper;   // a command to run the program under
};

struct DemoRun {
    Child child;
    std::string folder;
    std::string flushFile;
};

void startDemo(DemoRun& run, const DemoOptions& options);

// Waits until the program has flushed `frames` frames in all.
bool waitForFrames(DemoRun& run, int frames, double seconds = 10.0);

std::string demoStdout(const DemoRun& run);
std::string demoStderr(const DemoRun& run);

std::string sourcePath(const std::string& relative);

#endif
