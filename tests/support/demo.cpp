// Starting the demo the same way for every test that looks at it from outside.
#include "demo.h"

void startDemo(DemoRun& run, const DemoOptions& options)
{
    run.folder = options.folder.empty() ? makeTempFolder("demo") : options.folder;
    const std::string output = makeTempFolder("output");
    run.flushFile = output + "/frames";

    ChildOptions child;
    if (!options.traceFile.empty())
        child.argv = {"apitrace", "trace", "--api", "gl", "-o", options.traceFile};
    child.argv.insert(child.argv.end(), options.wrapper.begin(), options.wrapper.end());
    child.argv.push_back(LIGHTMAP_BINARY);
    child.argv.insert(child.argv.end(), options.arguments.begin(), options.arguments.end());
    child.env = {std::string("LD_PRELOAD=") + LIGHTMAP_PROBE,
                 "LIGHTMAP_PROBE_FLUSH_FILE=" + run.flushFile};
    child.env.insert(child.env.end(), options.env.begin(), options.env.end());
    child.workingDirectory = run.folder;
    child.outputDirectory = output;
    startChild(run.child, child);
}

bool waitForFrames(DemoRun& run, int frames, double seconds)
{
    return waitForFileSize(run.flushFile, frames, seconds);
}

std::string demoStdout(const DemoRun& run)
{
    return readFile(run.child.stdoutPath);
}

std::string demoStderr(const DemoRun& run)
{
    return readFile(run.child.stderrPath);
}

std::string sourcePath(const std::string& relative)
{
    return std::string(LIGHTMAP_SOURCE_DIR) + "/" + relative;
}
