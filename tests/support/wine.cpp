// The Windows build under Wine, on the test's own X server, in one of the two
// prefixes that a CTest fixture makes for each test run (scripts/wine-prefix):
// the second hides the extension. The Wine cases take turns (tests/CMakeLists.txt),
// so each stops every process of its prefix when it ends. Wine's GL trace counts
// the frames. The packaged one is the Windows zip unzipped afresh, the case's
// images beside the exe in place of the demo's.
#include "launcher.h"

#include <gtest/gtest.h>

namespace {

struct WineDemo : Demo {
    bool packaged = false;
    std::string prefix = LIGHTMAP_WINE_PREFIX;

    ~WineDemo() override
    {
        stopChild(child);
        ChildOptions stop;
        stop.argv = {LIGHTMAP_WINESERVER, "-k"};
        stop.env = {"WINEPREFIX=" + prefix};
        const ToolRun run = runTool(stop, 60.0); // status 1: none was running
        if (run.status < 0)
            ADD_FAILURE() << "wineserver -k " << run.state << ": " << run.err;
    }

    bool launch(const DemoOptions& options) override
    {
        if (!openTestDisplay())
            return false;
        if (options.withoutMultitexture)
            prefix += "-without-multitexture";
        ChildOptions child;
        // GLUT's -display names the Windows screen: freeglut would take $DISPLAY.
        child.argv = {LIGHTMAP_WINE, LIGHTMAP_WINDOWS_EXE, "-display", "DISPLAY"};
        child.workingDirectory = options.folder;
        if (packaged) {
            const std::string unzipped = unpackArtifact(LIGHTMAP_WINDOWS_ZIP);
            if (unzipped.empty())
                return false;
            child.workingDirectory = unzipped + "/" LIGHTMAP_WINDOWS_ZIP_FOLDER;
            placeImages(options.folder, child.workingDirectory);
            child.argv[1] = child.workingDirectory + "/lightmap.exe";
        }
        child.argv.insert(child.argv.end(), options.arguments.begin(), options.arguments.end());
        child.env = {"WINEPREFIX=" + prefix, "WINEDEBUG=fixme-all,trace+opengl"};
        startChild(this->child, child);
        return this->child.pid > 0;
    }

    long frames() override
    {
        const std::string trace = readFile(child.stderrPath), mark = ":trace:opengl:glFlush";
        long count = 0;
        for (auto at = trace.find(mark); at != std::string::npos; at = trace.find(mark, at + 1))
            ++count;
        return count;
    }

    std::string lineEnd() const override { return "\r\n"; }
};

} // namespace

std::unique_ptr<Demo> makeWineDemo(bool packaged)
{
    auto demo = std::make_unique<WineDemo>();
    demo->packaged = packaged;
    return demo;
}
