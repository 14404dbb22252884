// page_load RUNS FOLDER: loads the web build's page, on the images in FOLDER,
// RUNS times, each time in a fresh headless Chromium with a fresh profile, and
// prints the median time from navigation start to the end of the first frame:
// the program's first glFlush, with glFinish after it, as the native first-frame
// probe takes it. Built with the tests, whose browser driver it uses.
#include "support/browser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// Notes the first flush of a WebGL context, once it has finished.
const char firstFrameProbe[] = "(flush => { WebGLRenderingContext.prototype.flush = function() {"
                               "  flush.call(this);"
                               "  if (window.firstFrameMs === undefined) { this.finish(); "
                               "window.firstFrameMs = performance.now(); }"
                               "}; })(WebGLRenderingContext.prototype.flush)";

// One load; negative if the page gave no frame within ten seconds.
double firstFrameMilliseconds(const std::string& folder)
{
    BrowserRun browser;
    if (!openDemoPage(browser, folder, firstFrameProbe))
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string value = evaluate(browser, "window.firstFrameMs");
        if (value != "undefined" && !value.empty())
            return std::atof(value.c_str());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc == 3 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: page_load RUNS FOLDER\n");
        return 2;
    }
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double ms = firstFrameMilliseconds(argv[2]);
        if (ms < 0) {
            std::fprintf(stderr, "page_load: no first frame in load %d\n", run + 1);
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("page-first-frame-ms %.1f\npage-loads %d\n", times[times.size() / 2], runs);
    return 0;
}
