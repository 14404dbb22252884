// One interface over the ways the tests run the real program (x11.cpp: native
// and Wine; browser.cpp), each also as `make dist` made it, unpacked afresh. A
// test never asks which launcher it has.
#ifndef LIGHTMAP_TESTS_LAUNCHER_H
#define LIGHTMAP_TESTS_LAUNCHER_H

#include "glmodel.h"
#include "process.h"

#include <memory>
#include <ostream>

// The launchers; launcher.cpp's table says what each runs. The name of each is
// the prefix of its cases' names, which CTest's labels select by.
enum class Launcher { Native, Wine, Browser, Deb, WindowsZip, BrowserZip };
std::ostream& operator<<(std::ostream& out, Launcher launcher);

struct DemoOptions {
    std::string folder;                 // working directory, with the images; empty: a fresh one
    std::vector<std::string> arguments; // after the program name
    bool withoutMultitexture = false;   // the driver hides the extension
    std::vector<std::string> wrapper;   // a command to run the program under (apitrace, valgrind)
    // What the GL probe (tools/glprobe) bends, for the Linux build only.
    int exitAfterFrames = 0;          // 0: it runs until stopped
    const char* extensions = nullptr; // the driver's extension string; null: its own
    const char* nullProcs = nullptr;  // entry points whose lookup gives null
};
// The environment that preloads the GL probe with `options`' answers.
std::vector<std::string> probeEnvironment(const DemoOptions& options);

struct Point {
    int x = 0, y = 0;
};

// One run of the program, or of the page's driver for it. What needs a window
// of the test's own fails, saying so, where there is none.
struct Demo {
    std::string unpacked; // the artifact of dist/, unpacked; empty: the build itself

    virtual ~Demo() = default;
    virtual bool start(const DemoOptions& options) = 0; // false: recorded as a failure
    virtual long frames() = 0;                          // flushed so far
    virtual Image capture() = 0;                        // its pixels, bottom row first
    virtual std::string output() { return readFile(child.stdoutPath); } // \n line ends
    virtual std::string state();                                        // for failure messages
    virtual void expose() { noWindow("expose"); } // so that the program draws again
    virtual void resize(int, int) { noWindow("resize"); }
    virtual void paint(Rgb) { noWindow("paint"); } // all over, so that an undrawn pixel shows
    virtual Point position() { return noWindow("place"), Point{}; } // its top left on the screen
    bool running() { return childRunning(child); }
    int exitStatus(); // 0 to 255 once it has exited, -1 while it runs or after a signal

  protected:
    Child child;

  private:
    static void noWindow(const char* what);
};
std::unique_ptr<Demo> makeNativeDemo(); // x11.cpp
std::unique_ptr<Demo> makeWineDemo();   // x11.cpp
std::unique_ptr<Demo> makeBrowserDemo();

// Starts the demo and waits up to `seconds` for its first frame. Null when the
// test is over, through one helper: skipped, saying why, where no launcher of
// its kind can ever run `options` (launcher.cpp lists what), else failed
// fatally, so that a fixture's test body does not run, when it cannot start or
// shows no frame in time; a missing launcher is either, by the build.
std::unique_ptr<Demo> startDemo(Launcher launcher, const DemoOptions& options,
                                double seconds = 20.0);
// Until `frames` frames in all are flushed; false at once if the program ends first.
bool waitForFrames(Demo& demo, long frames, double seconds = 10.0);
// The program's flush and the copy the test sees are not one event: captures
// until the picture matches `expected` within `tolerance`, for 3 s at most; the
// last capture.
Image captureMatching(Demo& demo, const Image& expected, int tolerance = pixelTolerance);

// Every case type derives from NamedCase, whose name names its tests and prints
// it in a failure; a parameter is a case, or a case and a launcher.
struct NamedCase {
    const char* name;
};
inline std::ostream& operator<<(std::ostream& out, const NamedCase& c)
{
    return out << c.name;
}
inline const auto caseName = [](const auto& info) {
    if constexpr (std::is_base_of_v<NamedCase, std::decay_t<decltype(info.param)>>)
        return std::string(info.param.name);
    else
        return std::string(std::get<0>(info.param).name);
};
#define INSTANTIATE_FOR(launcher, Test, cases)                                                     \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        launcher, Test, testing::Combine(cases, testing::Values(Launcher::launcher)), caseName)

// The cases that differ in which image files the program finds.
struct ImageFiles : NamedCase {
    bool light, wall;
};
const ImageFiles imageFiles[] = {{{"Both"}, true, true},
                                 {{"LightMissing"}, false, true},
                                 {{"WallMissing"}, true, false},
                                 {{"NoneThere"}, false, false}};

#endif
