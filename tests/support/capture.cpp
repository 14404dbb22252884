// Polling capture for the pixel tests.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "capture.h"

#include <chrono>
#include <thread>

FrameDifference captureUntilMatching(DemoRun& run, const Image& expected, double seconds,
                                     Image* shot)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        const Image captured = captureDemo(run);
        const FrameDifference difference = compareFrames(expected, captured);
        if (shot != nullptr)
            *shot = captured;
        if (difference.worst <= pixelTolerance || std::chrono::steady_clock::now() > deadline)
            return difference;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
