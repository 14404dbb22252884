// What every launcher shares: the table, the one list of what a kind can never do,
// what each needs, and starting and watching the demo the same way for every test.
#include "launcher.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

enum class Kind { native, wine, browser };

const struct Entry {
    const char* name;
    Kind kind;
    bool packaged;
    const char* description;
} entries[] = {
#define LIGHTMAP_TABLE_ENTRY(name, kind, packaged, description)                                    \
    {#name, Kind::kind, packaged, description},
    LIGHTMAP_LAUNCHERS(LIGHTMAP_TABLE_ENTRY)
#undef LIGHTMAP_TABLE_ENTRY
};

// What no launcher of a kind can ever do, and why: the only skips in every build.
const struct {
    std::vector<Kind> kinds;
    bool (*asks)(const DemoOptions&);
    const char* reason;
} never[] = {
    {{Kind::browser},
     [](const DemoOptions& o) { return o.withoutMultitexture; },
     "the browser's WebGL cannot be told to hide ARB_multitexture"},
    {{Kind::browser},
     [](const DemoOptions& o) { return !o.arguments.empty(); },
     "the page has no command line to pass on"},
    {{Kind::wine, Kind::browser},
     [](const DemoOptions& o) { return !o.wrapper.empty(); },
     "only the Linux build runs under apitrace or valgrind"},
    {{Kind::wine, Kind::browser},
     [](const DemoOptions& o) { return !o.env.empty(); },
     "only the Linux build runs with the GL probe's answers"},
};

void skip(const std::string& why)
{
    GTEST_SKIP() << why;
}

void fail(const std::string& why)
{
    FAIL() << why;
}

// Why no launcher of `entry`'s kind can ever run `options`; null when one can.
const char* neverRuns(const Entry& entry, const DemoOptions& options)
{
    for (const auto& [kinds, asks, reason] : never) {
        if (std::count(kinds.begin(), kinds.end(), entry.kind) && asks(options))
            return reason;
    }
    return nullptr;
}

// What `entry` runs, from its build or from dist/, that is missing; "" when it is all there.
std::string missingFor(const Entry& entry)
{
    const std::string artifact = entry.kind == Kind::native ? LIGHTMAP_DEB
                                 : entry.kind == Kind::wine ? LIGHTMAP_WINDOWS_ZIP
                                                            : LIGHTMAP_WEB_ZIP;
    const bool wine = entry.kind == Kind::wine, browser = entry.kind == Kind::browser;
    const auto readable = [](const std::string& path) { return access(path.c_str(), R_OK) == 0; };
    if (entry.packaged && !readable(LIGHTMAP_DIST "/" + artifact))
        return "no dist/" + artifact + ": make dist";
    if (wine && !entry.packaged && !readable(LIGHTMAP_WINDOWS_EXE))
        return "no Windows build: make windows";
    if (wine && !readable(LIGHTMAP_WINE))
        return "no Wine: make windows installs wine64";
    if (browser && !entry.packaged && !readable(LIGHTMAP_WEB_BUILD "/lightmap.wasm"))
        return "no web build: make web";
    if (browser && !readable(LIGHTMAP_PLAYWRIGHT))
        return "no playwright-core: make test installs it (npm ci)";
    return "";
}

} // namespace

std::ostream& operator<<(std::ostream& out, Launcher launcher)
{
    return out << entries[static_cast<int>(launcher)].name;
}

std::string Demo::state()
{
    return "the program " + describeState(child) + "; stderr: " + readFile(child.stderrPath);
}

void Demo::noWindow(const char* what)
{
    ADD_FAILURE() << "no window of the test's own to " << what;
}

std::string unpackArtifact(const std::string& name)
{
    ChildOptions unpack;
    const std::string file = LIGHTMAP_DIST "/" + name, folder = makeTempFolder("dist");
    unpack.argv = {"cmake", "-E", "tar", "xf", file};
    if (name.size() > 4 && name.substr(name.size() - 4) == ".deb")
        unpack.argv = {"dpkg-deb", "-x", file, folder};
    unpack.workingDirectory = folder;
    const ToolRun run = runTool(unpack, 60.0);
    if (run.status != 0)
        ADD_FAILURE() << "unpacking " << file << ": " << run.state << ": " << run.err;
    return run.status == 0 ? folder : "";
}

void placeImages(const std::string& from, const std::string& to)
{
    for (const std::string name : {"/light.bmp", "/wall.bmp"}) {
        std::remove((to + name).c_str());
        if (fileSize(from + name) >= 0)
            std::ofstream(to + name, std::ios::binary)
                << std::ifstream(from + name, std::ios::binary).rdbuf();
    }
}

std::unique_ptr<Demo> startDemo(Launcher launcher, const DemoOptions& given, double seconds)
{
    const Entry& entry = entries[static_cast<int>(launcher)];
    if (const char* reason = neverRuns(entry, given))
        return skip(reason), nullptr;
    if (const std::string missing = missingFor(entry); !missing.empty())
        return (LIGHTMAP_LAUNCHERS_REQUIRED ? fail : skip)(missing), nullptr;
    std::unique_ptr<Demo> demo = entry.kind == Kind::wine      ? makeWineDemo()
                                 : entry.kind == Kind::browser ? makeBrowserDemo()
                                                               : makeNativeDemo();
    demo->packaged = entry.packaged;
    DemoOptions options = given;
    if (options.folder.empty())
        options.folder = makeTempFolder("demo");
    if (!demo->start(options)) {
        ADD_FAILURE() << "could not start " << entry.description;
        return nullptr;
    }
    if (!waitForFrames(*demo, 1, seconds)) {
        ADD_FAILURE() << "no first frame from " << entry.description << " within " << seconds
                      << " s: " << demo->state();
        return nullptr;
    }
    return demo;
}

bool waitForFrames(Demo& demo, long frames, double seconds)
{
    bool reached = false;
    pollUntil(seconds, [&] {
        const bool running = childRunning(demo.child); // before the count: a last frame counts
        reached = demo.frames() >= frames;
        return reached || !running;
    });
    return reached;
}

Image captureMatching(Demo& demo, const Image& expected, int tolerance)
{
    Image captured;
    pollUntil(
        3.0,
        [&] {
            captured = demo.capture();
            return differingPixels(expected, captured, tolerance).count == 0;
        },
        20);
    return captured;
}
