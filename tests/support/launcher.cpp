// What every launcher shares: starting the demo the same way for every test that
// looks at it from outside, waiting for its frames, and capturing until a match.
#include "launcher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

const char demoTitle[] = "OpenGL Demo - Light Mapping (ARB_Multitexture)";

namespace {

bool readable(const char* path)
{
    return path[0] != '\0' && access(path, R_OK) == 0;
}

} // namespace

Image Demo::capture()
{
    return captureWindow(window);
}

std::string Demo::state()
{
    return "the program " + describeState(child) + "; stderr: " + readFile(child.stderrPath);
}

std::string launcherMissing(Launcher launcher, const DemoOptions& options)
{
    const bool wine = launcher == Launcher::Wine || launcher == Launcher::WindowsZip;
    const bool browser = launcher == Launcher::Browser || launcher == Launcher::WebZip;
    const char* artifact = launcher == Launcher::Deb          ? LIGHTMAP_DEB
                           : launcher == Launcher::WindowsZip ? LIGHTMAP_WINDOWS_ZIP
                           : launcher == Launcher::WebZip     ? LIGHTMAP_WEB_ZIP
                                                              : nullptr;
    if (artifact != nullptr && !readable((std::string(LIGHTMAP_DIST "/") + artifact).c_str()))
        return std::string("no dist/") + artifact + ": make dist";
    if (launcher == Launcher::Wine && !readable(LIGHTMAP_WINDOWS_EXE))
        return "no Windows build: make windows";
    if (wine && !readable(LIGHTMAP_WINE))
        return "no Wine: make windows installs wine64";
    if (launcher == Launcher::Browser && !readable(LIGHTMAP_WEB_BUILD "/lightmap.wasm"))
        return "no web build: make web";
    if (browser && !readable(LIGHTMAP_PLAYWRIGHT))
        return "no playwright-core: make test installs it (npm ci)";
    if (browser && options.withoutMultitexture)
        return "the browser's WebGL cannot be told to hide ARB_multitexture";
    if (launcher != Launcher::Native && !options.wrapper.empty())
        return "only the Linux build runs under a wrapper";
    return "";
}

std::string unpackArtifact(const std::string& name)
{
    const std::string file = std::string(LIGHTMAP_DIST) + "/" + name,
                      folder = makeTempFolder("dist");
    ChildOptions unpack;
    unpack.argv = name.size() > 4 && name.substr(name.size() - 4) == ".deb"
                      ? std::vector<std::string>{"dpkg-deb", "-x", file, folder}
                      : std::vector<std::string>{"cmake", "-E", "tar", "xf", file};
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
    const bool packaged = launcher >= Launcher::Deb;
    std::unique_ptr<Demo> demo =
        launcher == Launcher::Wine || launcher == Launcher::WindowsZip  ? makeWineDemo(packaged)
        : launcher == Launcher::Browser || launcher == Launcher::WebZip ? makeBrowserDemo(packaged)
                                                                        : makeNativeDemo(packaged);
    DemoOptions options = given;
    if (options.folder.empty())
        options.folder = makeTempFolder("demo");
    if (!demo->launch(options))
        return nullptr;
    if (!waitForFrames(*demo, 1, seconds)) {
        ADD_FAILURE() << "no first frame (waited up to " << seconds << " s): " << demo->state();
        return nullptr;
    }
    if (!demo->windowed())
        return demo;
    // The first frame is drawn when the window is exposed, so by then the window
    // exists: this only covers the X server's own lag.
    demo->window = waitForWindow(demoTitle, 2.0);
    if (demo->window == 0) {
        std::string titles;
        for (const std::string& title : topLevelTitles())
            titles += " \"" + title + "\"";
        ADD_FAILURE() << "no single viewable window titled \"" << demoTitle
                      << "\"; top-level titles:" << titles << "; " << demo->state();
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

FrameDifference captureUntilMatching(Demo& demo, const Image& expected, double seconds, Image* shot)
{
    FrameDifference difference;
    pollUntil(
        seconds,
        [&] {
            const Image captured = demo.capture();
            difference = compareFrames(expected, captured);
            if (shot != nullptr)
                *shot = captured;
            return difference.worst <= pixelTolerance;
        },
        20);
    return difference;
}
