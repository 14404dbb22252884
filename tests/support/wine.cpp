// Wine helpers behind wine.h; paths come from the build (tests/CMakeLists.txt).
#include "wine.h"

#include "process.h"

#include <gtest/gtest.h>

namespace {

const char prefix[] = LIGHTMAP_WINE_PREFIX;
const std::string prefixVariable = std::string("WINEPREFIX=") + prefix;

// Runs a Wine tool in the prefix to its end, within a minute.
ToolRun runInPrefix(const std::vector<std::string>& argv)
{
    ChildOptions options;
    options.argv = argv;
    options.env = {prefixVariable, "WINEDEBUG=-all"};
    return runTool(options, 60.0);
}

} // namespace

std::vector<std::string> wineCommand()
{
    return {LIGHTMAP_WINE, LIGHTMAP_WINDOWS_EXE, "-display", "DISPLAY"};
}

std::vector<std::string> wineEnvironment()
{
    return {prefixVariable, "WINEDEBUG=fixme-all,trace+opengl"};
}

bool hideMultitextureInWine(bool hide)
{
    const std::string key = "HKCU\\Software\\Wine\\OpenGL";
    std::vector<std::string> argv = {LIGHTMAP_WINE, "reg"};
    if (hide)
        argv.insert(argv.end(), {"add", key, "/v", "DisabledExtensions", "/t", "REG_SZ", "/d",
                                 "GL_ARB_multitexture", "/f"});
    else
        argv.insert(argv.end(), {"delete", key, "/v", "DisabledExtensions", "/f"});
    const ToolRun reg = runInPrefix(argv);
    // Deleting a value that is not there fails, and leaves what we want.
    if (reg.status != 0 &&
        (hide || (reg.out + reg.err).find("nable to find") == std::string::npos)) {
        ADD_FAILURE() << "reg " << argv[2] << " in " << prefix << " " << reg.state << ": "
                      << reg.out << reg.err;
        return false;
    }
    return true;
}

long wineFrames(const std::string& stderrPath)
{
    const std::string trace = readFile(stderrPath), mark = ":trace:opengl:glFlush";
    long frames = 0;
    for (std::size_t at = trace.find(mark); at != std::string::npos; at = trace.find(mark, at + 1))
        ++frames;
    return frames;
}

void stopWine()
{
    // Its status is 1 when no server was running, which is as good.
    const ToolRun stop = runInPrefix({LIGHTMAP_WINESERVER, "-k"});
    if (stop.status < 0)
        ADD_FAILURE() << "wineserver -k " << stop.state << ": " << stop.err;
}
