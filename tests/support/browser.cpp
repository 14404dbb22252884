// The web build's page in headless Chromium. The page's driver (page.mjs, on
// playwright-core) opens it on the case's folder, waits for the program's first
// frame and leaves the canvas as a PNG and what the page said in files; the case's
// images travel as a data package of their own, so the program is not relinked.
#include "launcher.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>

namespace {

// images.js and images.data of the folder's light.bmp and wall.bmp, whichever are
// there; with neither, an images.js that packages nothing.
bool packageImages(const std::string& folder)
{
    ChildOptions packager;
    packager.argv = {LIGHTMAP_PYTHON, LIGHTMAP_FILE_PACKAGER, "images.data", "--preload"};
    for (const char* name : {"light.bmp", "wall.bmp"}) {
        if (fileSize(folder + "/" + name) >= 0)
            packager.argv.push_back(name);
    }
    if (packager.argv.size() == 4)
        return static_cast<bool>(std::ofstream(folder + "/images.js") << "// no images\n");
    packager.argv.push_back("--js-output=images.js");
    packager.workingDirectory = folder;
    const ToolRun run = runTool(packager, 60.0);
    if (run.status != 0)
        ADD_FAILURE() << "file_packager " << run.state << ": " << run.err;
    return run.status == 0;
}

struct BrowserDemo : Demo {
    std::string out;

    bool launch(const DemoOptions& options) override
    {
        if (!packageImages(options.folder))
            return false;
        out = makeTempFolder("page");
        ChildOptions driver;
        driver.argv = {"node", LIGHTMAP_PAGE_DRIVER, LIGHTMAP_WEB_BUILD, options.folder, out};
        driver.argv.insert(driver.argv.end(), options.pageExpressions.begin(),
                           options.pageExpressions.end());
        driver.outputDirectory = out;
        startChild(child, driver);
        return child.pid > 0;
    }

    bool windowed() const override { return false; }

    // The driver ends once the frame is shown and everything is written.
    long frames() override
    {
        return !childRunning(child) && WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0;
    }

    Image capture() override { return readPng(out + "/canvas.png"); }
    std::string output() override { return readFile(out + "/output.txt"); }
    std::vector<std::string> evaluated() override
    {
        return splitLines(readFile(out + "/values.txt"));
    }
    std::vector<std::string> faults() override { return splitLines(readFile(out + "/errors.txt")); }
    std::string state() override
    {
        return "the page's driver " + describeState(child) + ": " + readFile(child.stderrPath);
    }
};

} // namespace

std::unique_ptr<Demo> makeBrowserDemo()
{
    return std::make_unique<BrowserDemo>();
}
