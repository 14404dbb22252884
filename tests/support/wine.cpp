// The Windows build under Wine, on the test's own X server, in one of the two
// prefixes that a CTest fixture makes for each test run (scripts/wine-prefix):
// the second hides the extension. The Wine cases take turns, so each stops every
// process of its prefix when it ends. Wine's GL trace counts the frames.
// Packaged: the Windows zip unzipped afresh, the case's images beside the exe.
#include "x11.h"

#include <regex>

namespace {

struct WineDemo : WindowedDemo {
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

    bool start(const DemoOptions& options) override
    {
        // GLUT's -display names the Windows screen: freeglut would take $DISPLAY.
        ChildOptions program;
        program.argv = {LIGHTMAP_WINE, LIGHTMAP_WINDOWS_EXE, "-display", "DISPLAY"};
        program.workingDirectory = options.folder;
        const std::string unzipped = packaged ? unpackArtifact(LIGHTMAP_WINDOWS_ZIP) : "";
        if (!openDisplay() || (packaged && unzipped.empty()))
            return false;
        if (packaged) {
            program.workingDirectory = unzipped + "/" LIGHTMAP_WINDOWS_ZIP_FOLDER;
            placeImages(options.folder, program.workingDirectory);
            program.argv[1] = program.workingDirectory + "/lightmap.exe";
        }
        program.argv.insert(program.argv.end(), options.arguments.begin(), options.arguments.end());
        prefix += options.withoutMultitexture ? "-without-multitexture" : "";
        program.env = {"WINEPREFIX=" + prefix, "WINEDEBUG=fixme-all,trace+opengl"};
        startChild(child, program);
        return child.pid > 0;
    }

    long frames() override
    {
        const std::string trace = readFile(child.stderrPath);
        static const std::regex flush(":trace:opengl:glFlush"); // polled: built once
        return std::distance(std::sregex_iterator(trace.begin(), trace.end(), flush), {});
    }

    // Windows ends lines of text with CR LF: each is checked, and given as \n.
    std::string output() override
    {
        const std::string text = Demo::output();
        static const std::regex lfAlone("(^|[^\r])\n"), crlf("\r\n");
        if (std::regex_search(text, lfAlone))
            ADD_FAILURE() << "a line of standard output ends in LF alone: " << text;
        return std::regex_replace(text, crlf, "\n");
    }
};

} // namespace

std::unique_ptr<Demo> makeWineDemo()
{
    return std::make_unique<WineDemo>();
}
