// The web build's page in headless Chromium, driven by page.mjs as a visitor
// would; what it leaves in its folder, and any fault it saw, fail the case.
// Packaged: the web zip's page, unzipped.
#include "launcher.h"

#include <filesystem>

namespace {

struct BrowserDemo : Demo {
    std::string out;

    ~BrowserDemo() override
    {
        for (const std::string& fault : splitLines(readFile(out + "/errors.txt")))
            ADD_FAILURE() << fault;
    }

    bool start(const DemoOptions& options) override
    {
        out = makeTempFolder("page");
        ChildOptions driver;
        driver.argv = {"node", LIGHTMAP_PAGE_DRIVER,
                       unpacked.empty() ? LIGHTMAP_WEB_BUILD : unpacked};
        for (const std::string name : {"/light.bmp", "/wall.bmp"}) {
            const std::string file = options.folder + name;
            driver.argv.push_back(std::filesystem::exists(file) ? file : "none");
        }
        driver.argv.push_back(out);
        driver.outputDirectory = out;
        startChild(child, driver);
        return child.pid > 0;
    }

    // The driver ends once the page has drawn and everything is written.
    long frames() override { return exitStatus() == 0; }

    Image capture() override { return readPng(out + "/canvas.png"); }
    std::string output() override { return readFile(out + "/output.txt"); }
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
