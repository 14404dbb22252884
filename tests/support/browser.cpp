// The web build's page in headless Chromium, driven by page.mjs (playwright-core)
// as a visitor would: the folder's images are chosen in the page's two inputs (a
// PNG where the test made one, else the BMP; "Leave out" where there is neither),
// then the case's own steps run. The driver leaves the canvas as a PNG and what
// the page said in files. The packaged page is the web zip unzipped afresh.
#include "launcher.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace {

struct BrowserDemo : Demo {
    bool packaged = false;
    std::string out;

    bool launch(const DemoOptions& options) override
    {
        std::string page = LIGHTMAP_WEB_BUILD;
        if (packaged && (page = unpackArtifact(LIGHTMAP_WEB_ZIP)).empty())
            return false;
        if (packaged)
            page += "/" LIGHTMAP_WEB_ZIP_FOLDER;
        out = makeTempFolder("page");
        ChildOptions driver;
        driver.argv = {"node", LIGHTMAP_PAGE_DRIVER, page};
        for (const std::string which : {"light", "wall"}) {
            const std::string png = options.folder + "/" + which + ".png";
            const std::string bmp = options.folder + "/" + which + ".bmp";
            driver.argv.push_back(fileSize(png) >= 0   ? png
                                  : fileSize(bmp) >= 0 ? bmp
                                                       : "none");
        }
        driver.argv.push_back(out);
        driver.outputDirectory = out;
        startChild(child, driver);
        return child.pid > 0;
    }

    bool windowed() const override { return false; }

    // The driver ends once the page has settled and everything is written.
    long frames() override
    {
        return !childRunning(child) && WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0;
    }

    Image capture() override { return readPng(out + "/canvas.png"); }
    std::string output() override { return readFile(out + "/output.txt"); }
    std::vector<std::string> faults() override { return splitLines(readFile(out + "/errors.txt")); }
    std::string state() override
    {
        return "the page's driver " + describeState(child) + ": " + readFile(child.stderrPath);
    }
};

} // namespace

std::unique_ptr<Demo> makeBrowserDemo(bool packaged)
{
    auto demo = std::make_unique<BrowserDemo>();
    demo->packaged = packaged;
    return demo;
}
