// One interface over the ways the tests run the real program, a file each (native,
// wine, browser; x11 for the first two), each also as `make dist` made it, unpacked
// afresh. A test never asks which launcher it has.
#ifndef LIGHTMAP_TESTS_LAUNCHER_H
#define LIGHTMAP_TESTS_LAUNCHER_H

#include "glmodel.h"
#include "process.h"

#include <memory>
#include <ostream>

// The launchers, one table: the name is the enum value and the prefix of its
// cases' names (CTest's labels select by it); then the file that runs it, whether
// it runs an artifact of dist/, and what it runs, in words.
#define LIGHTMAP_LAUNCHERS(X)                                                                       \
    X(Native, native, false, "the Linux build")                                                    \
    X(Wine, wine, false, "the Windows build under Wine")                                           \
    X(Browser, browser, false, "the web build's page in Chromium")                                 \
    X(Deb, native, true, "the Debian package, unpacked")                                           \
    X(WindowsZip, wine, true, "the Windows zip, unpacked, under Wine")                             \
    X(BrowserZip, browser, true, "the web zip's page, unpacked, in Chromium")
#define LIGHTMAP_ENUM_ENTRY(name, ...) name,
enum class Launcher { LIGHTMAP_LAUNCHERS(LIGHTMAP_ENUM_ENTRY) };
#undef LIGHTMAP_ENUM_ENTRY
std::ostream& operator<<(std::ostream& out, Launcher launcher);

struct DemoOptions {
    std::string folder;                 // working directory, with the images; empty: a fresh one
    std::vector<std::string> arguments; // after the program name
    bool withoutMultitexture = false;   // the driver hides the extension
    std::vector<std::string> env;       // for the GL probe: LIGHTMAP_PROBE_...=...
    std::vector<std::string> wrapper;   // a command to run the program under (apitrace, valgrind)
};

struct Point {
    int x = 0, y = 0;
};

// One run of the program; `child` is the program itself, or the page's driver.
// What needs a window of the test's own fails, saying so, where there is none.
struct Demo {
    Child child;
    bool packaged = false; // from the artifact of dist/

    virtual ~Demo() = default;
    virtual bool start(const DemoOptions& options) = 0; // false: recorded as a failure
    virtual long frames() = 0;                          // flushed so far
    virtual Image capture() = 0;                        // its pixels, bottom row first
    virtual std::string output() { return readFile(child.stdoutPath); } // \n line ends
    virtual std::string state(); // for failure messages
    virtual void expose() { noWindow("expose"); } // so that the program draws again
    virtual void resize(int, int) { noWindow("resize"); }
    virtual void paint(Rgb) { noWindow("paint"); } // all over, so that an undrawn pixel shows
    virtual Point position() { return noWindow("place"), Point{}; } // its top left on the screen

  private:
    static void noWindow(const char* what);
};
std::unique_ptr<Demo> makeNativeDemo(); // each in its kind's file
std::unique_ptr<Demo> makeWineDemo();
std::unique_ptr<Demo> makeBrowserDemo();

// Starts the demo and waits up to `seconds` for its first frame. Null when the
// test is over: skipped or failed, saying why, where the launcher cannot run
// `options` (launcher.cpp lists what no launcher of a kind can ever do, the only
// skips in the ci build), or failed when the program ends or is late.
std::unique_ptr<Demo> startDemo(Launcher launcher, const DemoOptions& options,
                                double seconds = 20.0);
// Until `frames` frames in all are flushed; false at once if the program ends first.
bool waitForFrames(Demo& demo, long frames, double seconds = 10.0);
// The program's flush and the copy the test sees are not one event: captures
// until the picture matches `expected` within `tolerance`, for 3 s at most; the
// last capture.
Image captureMatching(Demo& demo, const Image& expected, int tolerance = pixelTolerance);

// The case's light.bmp and wall.bmp, as `from` has them or none, into `to`.
void placeImages(const std::string& from, const std::string& to);
// The dist/ file `name` unpacked into a fresh folder; "" after a failure.
std::string unpackArtifact(const std::string& name);

// Every case type derives from NamedCase, whose name names its tests and prints
// it in a failure; a parameter is a case, or a case and a launcher.
struct NamedCase {
    const char* name;
};
inline std::ostream& operator<<(std::ostream& out, const NamedCase& c)
{
    return out << c.name;
}
struct CaseName {
    template <typename Case> static std::string of(const Case& c) { return c.name; }
    template <typename Case> static std::string of(const std::tuple<Case, Launcher>& param)
    {
        return std::get<0>(param).name;
    }
    template <typename Info> std::string operator()(const Info& info) const { return of(info.param); }
};
#define INSTANTIATE_FOR(launcher, Test, cases)                                                     \
    INSTANTIATE_TEST_SUITE_P(launcher, Test,                                                       \
                             testing::Combine(cases, testing::Values(Launcher::launcher)),         \
                             CaseName())

// The cases that differ in which image files the program finds.
struct ImageFiles : NamedCase {
    bool light, wall;
};
const ImageFiles imageFiles[] = {{{"Both"}, true, true},
                                 {{"LightMissing"}, false, true},
                                 {{"WallMissing"}, true, false},
                                 {{"NoneThere"}, false, false}};

#endif
