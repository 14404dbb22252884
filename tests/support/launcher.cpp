// What every launcher shares: the table, what a kind can never do, what each
// needs, and starting and watching the demo the same way for every test.
#include "launcher.h"

#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace {

enum class Kind { native, wine, browser };

// One entry per Launcher, in its order: its name, its kind, the artifact of
// dist/ it runs (null: the build itself), and what it runs, in words.
const struct Entry {
    const char* name;
    Kind kind;
    const char* artifact;
    const char* description;
} entries[] = {
    {"Native", Kind::native, nullptr, "the Linux build"},
    {"Wine", Kind::wine, nullptr, "the Windows build under Wine"},
    {"Browser", Kind::browser, nullptr, "the web build's page in Chromium"},
    {"Deb", Kind::native, LIGHTMAP_DEB, "the Debian package, unpacked"},
    {"WindowsZip", Kind::wine, LIGHTMAP_WINDOWS_ZIP, "the Windows zip, unpacked, under Wine"},
    {"BrowserZip", Kind::browser, LIGHTMAP_WEB_ZIP, "the web zip's page, unpacked, in Chromium"},
};

// Why no launcher of `kind` can ever run `o`, the only skips in every build; null when one can.
const char* neverRuns(Kind kind, const DemoOptions& o)
{
    if (kind == Kind::browser && o.withoutMultitexture)
        return "the browser's WebGL cannot be told to hide ARB_multitexture";
    if (kind == Kind::browser && !o.arguments.empty())
        return "the page has no command line to pass on";
    if (kind != Kind::native && !o.wrapper.empty())
        return "only the Linux build runs under apitrace or valgrind";
    if (kind != Kind::native && (o.exitAfterFrames || o.extensions || o.nullProcs))
        return "only the Linux build runs with the GL probe's answers";
    return nullptr;
}

// What `entry` runs, from its build or from dist/, that is missing; "" when it is all there.
std::string missingFor(const Entry& entry)
{
    const auto there = [](const std::string& path) { return std::filesystem::exists(path); };
    const bool wine = entry.kind == Kind::wine, browser = entry.kind == Kind::browser;
    if (entry.artifact && !there(LIGHTMAP_DIST "/" + std::string(entry.artifact)))
        return "no dist/" + std::string(entry.artifact) + ": make dist";
    if (wine && !entry.artifact && !there(LIGHTMAP_WINDOWS_EXE))
        return "no Windows build: make windows";
    if (wine && !there(LIGHTMAP_WINE))
        return "no Wine: make windows installs wine64";
    if (browser && !entry.artifact && !there(LIGHTMAP_WEB_BUILD "/lightmap.wasm"))
        return "no web build: make web";
    if (browser && !there(LIGHTMAP_PLAYWRIGHT))
        return "no playwright-core: make test installs it (npm ci)";
    return "";
}

// The artifact unpacked into a fresh folder: a zip's own top folder, or the
// package's root; "" after a failure.
std::string unpack(const std::string& name)
{
    ChildOptions unpack;
    const std::string file = LIGHTMAP_DIST "/" + name, folder = makeTempFolder("dist");
    const bool zip = name.size() > 4 && name.substr(name.size() - 4) == ".zip";
    unpack.argv = {"cmake", "-E", "tar", "xf", file};
    if (!zip)
        unpack.argv = {"dpkg-deb", "-x", file, folder};
    unpack.workingDirectory = folder;
    const ToolRun run = runTool(unpack, 60.0);
    if (run.status != 0)
        ADD_FAILURE() << "unpacking " << file << ": " << run.state << ": " << run.err;
    return run.status != 0 ? "" : zip ? folder + "/" + name.substr(0, name.size() - 4) : folder;
}

// The one way a start ends the test: a skip, or a fatal failure.
void skip(const std::string& why)
{
    GTEST_SKIP() << why;
}

void fail(const std::string& why)
{
    FAIL() << why;
}

} // namespace

std::ostream& operator<<(std::ostream& out, Launcher launcher)
{
    return out << entries[static_cast<int>(launcher)].name;
}

std::vector<std::string> probeEnvironment(const DemoOptions& options)
{
    std::vector<std::string> env = {"LD_PRELOAD=" LIGHTMAP_PROBE};
    if (options.exitAfterFrames > 0)
        env.push_back("LIGHTMAP_PROBE_EXIT_AFTER=" + std::to_string(options.exitAfterFrames));
    if (options.extensions != nullptr)
        env.push_back(std::string("LIGHTMAP_PROBE_EXTENSIONS=") + options.extensions);
    if (options.nullProcs != nullptr)
        env.push_back(std::string("LIGHTMAP_PROBE_NULL_PROCS=") + options.nullProcs);
    return env;
}

std::string Demo::state()
{
    return "the program " + describeState(child) + "; stderr: " + readFile(child.stderrPath);
}

int Demo::exitStatus()
{
    return !running() && WIFEXITED(child.status) ? WEXITSTATUS(child.status) : -1;
}

void Demo::noWindow(const char* what)
{
    ADD_FAILURE() << "no window of the test's own to " << what;
}

std::unique_ptr<Demo> startDemo(Launcher launcher, const DemoOptions& given, double seconds)
{
    const Entry& entry = entries[static_cast<int>(launcher)];
    if (const char* reason = neverRuns(entry.kind, given))
        return skip(reason), nullptr;
    if (const std::string missing = missingFor(entry); !missing.empty())
        return (LIGHTMAP_LAUNCHERS_REQUIRED ? fail : skip)(missing), nullptr;
    std::unique_ptr<Demo> demo = entry.kind == Kind::wine      ? makeWineDemo()
                                 : entry.kind == Kind::browser ? makeBrowserDemo()
                                                               : makeNativeDemo();
    DemoOptions options = given;
    if (options.folder.empty())
        options.folder = makeTempFolder("demo");
    if (entry.artifact && (demo->unpacked = unpack(entry.artifact)).empty())
        return fail("could not unpack dist/" + std::string(entry.artifact)), nullptr;
    if (!demo->start(options))
        return fail(std::string("could not start ") + entry.description), nullptr;
    if (!waitForFrames(*demo, 1, seconds)) {
        std::ostringstream why;
        why << "no first frame from " << entry.description << " within " << seconds
            << " s: " << demo->state();
        return fail(why.str()), nullptr;
    }
    return demo;
}

bool waitForFrames(Demo& demo, long frames, double seconds)
{
    bool reached = false;
    pollUntil(seconds, [&] {
        const bool running = demo.running(); // before the count: a last frame counts
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
