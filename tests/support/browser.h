// The web build in headless Chromium: a static file server over a folder that
// holds the page, the program and one case's data package, and a browser that
// the test drives through the DevTools protocol on a pipe (commands on its fd 3,
// replies and events on its fd 4, each a JSON text ended by NUL). Only what the
// tests need: open the page, evaluate an expression, take a screenshot, and
// collect the console's errors.
#ifndef LIGHTMAP_TESTS_BROWSER_H
#define LIGHTMAP_TESTS_BROWSER_H

#include "image.h"
#include "process.h"

#include <string>
#include <vector>

struct BrowserRun {
    Child server;
    Child chromium;
    int commands = -1; // our end of its fd 3
    int replies = -1;  // our end of its fd 4
    std::string session;
    int lastId = 0;
    std::string unread; // bytes of replies not yet split into messages
    std::vector<std::string> consoleErrors;

    BrowserRun() = default;
    BrowserRun(const BrowserRun&) = delete;
    BrowserRun& operator=(const BrowserRun&) = delete;
    ~BrowserRun();
};

// Adds the web build's page and program and a data package of the images in
// `folder` ("light.bmp", "wall.bmp", whichever are there) to it, serves it, and
// opens the page in a fresh browser, with `initScript` run before the page's
// own; true once the program's main has run. False, with the reason recorded
// as a failure, otherwise.
bool openDemoPage(BrowserRun& browser, const std::string& folder,
                  const std::string& initScript = "");

// Evaluates a JavaScript expression in the page; its value as a string, or
// "(exception) ..." when it throws.
std::string evaluate(BrowserRun& browser, const std::string& expression);

// The canvas as the page shows it, bottom row first.
Image captureCanvas(BrowserRun& browser);

#endif
