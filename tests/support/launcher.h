// One interface over the ways the tests run the real program: the Linux build
// with the GL probe preloaded (native.cpp), the Windows build under Wine
// (wine.cpp), both on the test's own X server (x11.cpp), and the web build's page
// in headless Chromium (browser.cpp); each from its build folder, or from what
// `make dist` made of it, unpacked in a fresh place. One case table is
// instantiated over the launchers; what a launcher cannot do is skipped with the
// reason, never failed and never silently left out.
#ifndef LIGHTMAP_TESTS_LAUNCHER_H
#define LIGHTMAP_TESTS_LAUNCHER_H

#include "glmodel.h"
#include "process.h"

#include <memory>
#include <ostream>

enum class Launcher { Native, Wine, Browser, Deb, WindowsZip, WebZip };

struct DemoOptions {
    std::string folder;                 // working directory, with the images; empty: a fresh one
    std::vector<std::string> arguments; // after the program name
    bool withoutMultitexture = false;   // the driver (probe, Wine's registry) hides the extension
    std::vector<std::string> env;       // Native: e.g. LIGHTMAP_PROBE_NULL_PROCS=...
    std::vector<std::string> wrapper;   // Native: a command to run it under (apitrace, valgrind)
};

using WindowId = unsigned long;

// One run of the program; `child` is the program itself, or the page's driver.
struct Demo {
    Child child;
    WindowId window = 0; // once it shows, for the launchers that open an X window

    virtual ~Demo() = default;
    virtual bool launch(const DemoOptions& options) = 0; // false: recorded as a failure
    virtual bool windowed() const { return true; }
    virtual long frames() = 0; // flushed so far
    virtual Image capture();   // the window's pixels, or the page's canvas
    virtual std::string output() { return readFile(child.stdoutPath); }
    virtual std::string lineEnd() const { return "\n"; }        // Windows writes CR LF
    virtual std::vector<std::string> faults() { return {}; }    // the page's console errors
    virtual std::string state();                                // for failure messages
};
// `packaged`: the artifact of dist/ for that build, unpacked afresh.
std::unique_ptr<Demo> makeNativeDemo(bool packaged = false);
std::unique_ptr<Demo> makeWineDemo(bool packaged = false);
std::unique_ptr<Demo> makeBrowserDemo(bool packaged = false);
// The dist/ file named `name`, unpacked (dpkg-deb -x or an unzip) into a fresh
// folder; "" with the reason recorded as a failure, if it cannot be.
std::string unpackArtifact(const std::string& name);
// The case's images in `to`: light.bmp and wall.bmp as `from` has them, or none.
void placeImages(const std::string& from, const std::string& to);

// Why this launcher cannot run `options` here ("no Windows build: make windows"), or "".
std::string launcherMissing(Launcher launcher, const DemoOptions& options = {});
#define SKIP_IF_LAUNCHER_MISSING(launcher, options)                                                \
    if (const std::string missing = launcherMissing(launcher, options); !missing.empty())          \
    GTEST_SKIP() << missing

// Starts the demo, waits up to `seconds` for its first frame, then briefly for its
// window; null, with the reason and the program's state and stderr recorded as a
// failure, as soon as the program ends or either is late.
std::unique_ptr<Demo> startDemo(Launcher launcher, const DemoOptions& options,
                                double seconds = 20.0);
// Until `frames` frames in all are flushed; false at once if the program ends first.
bool waitForFrames(Demo& demo, long frames, double seconds = 10.0);
// The program's flush and the copy the test sees are not one event: captures until
// the demo matches `expected` within the tolerance or `seconds` pass. The
// difference of the last capture, which lands in `shot`.
FrameDifference captureUntilMatching(Demo& demo, const Image& expected, double seconds = 3.0,
                                     Image* shot = nullptr);

// The X server of $DISPLAY, seen from outside the program (x11.cpp).
extern const char demoTitle[];
bool openTestDisplay(); // false, with the reason recorded as a failure, without one
WindowId waitForWindow(const std::string& title, double seconds); // the one viewable; 0: none
std::vector<std::string> topLevelTitles();
struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};
WindowGeometry windowGeometry(WindowId window);
Image captureWindow(WindowId window); // bottom row first, as OpenGL numbers rows
void exposeWindow(WindowId window);   // GLUT then calls the display callback again
void resizeWindow(WindowId window, int width, int height);
void paintWindow(WindowId window, Rgb colour);

inline void PrintTo(Launcher launcher, std::ostream* out)
{
    const char* names[] = {"Native", "Wine", "Browser", "Deb", "WindowsZip", "WebZip"};
    *out << names[static_cast<int>(launcher)];
}

// Parameters (case, launcher), named by the case's `name`. The prefixes Windows
// and Browser are what CTest's labels select by.
struct CaseName {
    template <typename Info> std::string operator()(const Info& info) const
    {
        return std::get<0>(info.param).name;
    }
};
#define INSTANTIATE_FOR_LAUNCHER(prefix, Test, cases, launcher)                                    \
    INSTANTIATE_TEST_SUITE_P(prefix, Test, testing::Combine(cases, testing::Values(launcher)),     \
                             CaseName())
#define INSTANTIATE_FOR_LAUNCHERS(Test, cases)                                                     \
    INSTANTIATE_FOR_LAUNCHER(Native, Test, cases, Launcher::Native);                               \
    INSTANTIATE_FOR_LAUNCHER(Windows, Test, cases, Launcher::Wine);                                \
    INSTANTIATE_FOR_LAUNCHER(Browser, Test, cases, Launcher::Browser);                             \
    INSTANTIATE_FOR_LAUNCHER(Deb, Test, cases, Launcher::Deb);                                     \
    INSTANTIATE_FOR_LAUNCHER(WindowsZip, Test, cases, Launcher::WindowsZip);                       \
    INSTANTIATE_FOR_LAUNCHER(BrowserZip, Test, cases, Launcher::WebZip)

#endif
