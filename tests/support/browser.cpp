// Headless Chromium and its file server behind browser.h. Replies are matched to
// commands by id; events that arrive meanwhile are kept when they are errors.
#include "browser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

const double replySeconds = 20.0;

// The JSON string that starts right after `key` ("\"value\":\"") in `json`,
// unescaped; empty if the key is not there. Enough for what Chromium sends.
std::string jsonString(const std::string& json, const std::string& key)
{
    std::size_t at = json.find(key);
    if (at == std::string::npos)
        return "";
    std::string text;
    for (at += key.size(); at < json.size() && json[at] != '"'; ++at) {
        char c = json[at];
        if (c == '\\' && at + 1 < json.size()) {
            c = json[++at];
            if (c == 'n')
                c = '\n';
            else if (c == 't')
                c = '\t';
            else if (c == 'u' && at + 4 < json.size()) {
                c = static_cast<char>(std::stoi(json.substr(at + 1, 4), nullptr, 16));
                at += 4;
            }
        }
        text += c;
    }
    return text;
}

std::string quoted(const std::string& text)
{
    std::string json = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            json += '\\';
        json += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return json + "\"";
}

bool isConsoleError(const std::string& message)
{
    const auto has = [&](const char* part) { return message.find(part) != std::string::npos; };
    return (has("\"method\":\"Runtime.consoleAPICalled\"") && has("\"type\":\"error\"")) ||
           has("\"method\":\"Runtime.exceptionThrown\"") ||
           (has("\"method\":\"Log.entryAdded\"") && has("\"level\":\"error\""));
}

// Sends one command and waits for its reply, keeping the errors among the
// events that come first. The reply's text, or empty on timeout.
std::string send(BrowserRun& browser, const std::string& method, const std::string& params = "{}")
{
    const int id = ++browser.lastId;
    std::string command =
        "{\"id\":" + std::to_string(id) + ",\"method\":\"" + method + "\",\"params\":" + params;
    if (!browser.session.empty() && method.rfind("Target.", 0) != 0)
        command += ",\"sessionId\":\"" + browser.session + "\"";
    command += "}";
    command += '\0';
    if (write(browser.commands, command.data(), command.size()) !=
        static_cast<ssize_t>(command.size()))
        return "";

    const std::string mark = "{\"id\":" + std::to_string(id) + ",";
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(replySeconds);
    for (;;) {
        for (std::size_t end; (end = browser.unread.find('\0')) != std::string::npos;) {
            const std::string message = browser.unread.substr(0, end);
            browser.unread.erase(0, end + 1);
            if (message.rfind(mark, 0) == 0)
                return message;
            if (isConsoleError(message))
                browser.consoleErrors.push_back(message.substr(0, 600));
        }
        pollfd ready{browser.replies, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline || poll(&ready, 1, 100) < 0)
            break;
        if (ready.revents == 0)
            continue;
        char buffer[65536];
        const ssize_t n = read(browser.replies, buffer, sizeof buffer);
        if (n <= 0)
            break;
        browser.unread.append(buffer, static_cast<std::size_t>(n));
    }
    ADD_FAILURE() << "Chromium gave no reply to " << method << " ("
                  << describeState(browser.chromium) << ")";
    return "";
}

// The page, the program and the images' data package, side by side in `folder`.
bool preparePage(const std::string& folder)
{
    for (const char* name : {"index.html", "lightmap.js", "lightmap.wasm"}) {
        const std::string target = std::string(LIGHTMAP_WEB_BUILD) + "/" + name;
        const std::string link = folder + "/" + name;
        unlink(link.c_str());
        if (access(target.c_str(), R_OK) != 0 || symlink(target.c_str(), link.c_str()) != 0) {
            ADD_FAILURE() << "no " << target << "; `make web` builds it";
            return false;
        }
    }
    std::vector<std::string> packager = {LIGHTMAP_PYTHON, LIGHTMAP_FILE_PACKAGER, "images.data",
                                         "--preload"};
    for (const char* name : {"light.bmp", "wall.bmp"}) {
        if (access((folder + "/" + name).c_str(), R_OK) == 0)
            packager.push_back(name);
    }
    if (packager.size() == 4) { // nothing to package: the page still loads images.js
        std::ofstream(folder + "/images.js") << "// no images\n";
        return true;
    }
    packager.push_back("--js-output=images.js");
    ChildOptions options;
    options.argv = packager;
    options.workingDirectory = folder;
    const ToolRun packaging = runTool(options, 60.0);
    if (packaging.status != 0)
        ADD_FAILURE() << "file_packager " << packaging.state << ": " << packaging.err;
    return packaging.status == 0;
}

// python3 -m http.server on a free port (it picks one and says which).
int startServer(BrowserRun& browser, const std::string& folder)
{
    ChildOptions options;
    options.argv = {LIGHTMAP_PYTHON, "-u",   "-m", "http.server", "--bind", "127.0.0.1",
                    "--directory",   folder, "0"};
    options.outputDirectory = makeTempFolder("server");
    startChild(browser.server, options);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline && childRunning(browser.server)) {
        const std::string said = readFile(browser.server.stdoutPath);
        const std::size_t at = said.find(" port ");
        if (at != std::string::npos)
            return std::atoi(said.c_str() + at + 6);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "the file server did not start (" << describeState(browser.server)
                  << "): " << readFile(browser.server.stderrPath);
    return 0;
}

bool startChromium(BrowserRun& browser)
{
    signal(SIGPIPE, SIG_IGN); // a browser that died fails the write, not the test process
    int commands[2], replies[2];
    if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(replies, O_CLOEXEC) != 0)
        return false;
    ChildOptions options;
    // Software WebGL (SwiftShader), and nothing that reaches for the network.
    options.argv = {"chromium",
                    "--headless",
                    "--no-sandbox",
                    "--disable-gpu",
                    "--enable-unsafe-swiftshader",
                    "--disable-quic",
                    "--no-first-run",
                    "--disable-background-networking",
                    "--disable-component-update",
                    "--disable-sync",
                    "--force-device-scale-factor=1",
                    "--window-size=800,700",
                    "--user-data-dir=" + makeTempFolder("profile"),
                    "--remote-debugging-pipe",
                    "about:blank"};
    options.outputDirectory = makeTempFolder("chromium");
    options.passFds = {commands[0], replies[1]};
    startChild(browser.chromium, options);
    close(commands[0]);
    close(replies[1]);
    browser.commands = commands[1];
    browser.replies = replies[0];
    if (browser.chromium.pid <= 0)
        return false;
    const std::string target = jsonString(
        send(browser, "Target.createTarget", "{\"url\":\"about:blank\"}"), "\"targetId\":\"");
    browser.session = jsonString(send(browser, "Target.attachToTarget",
                                      "{\"targetId\":" + quoted(target) + ",\"flatten\":true}"),
                                 "\"sessionId\":\"");
    if (browser.session.empty())
        return false;
    for (const char* domain : {"Runtime.enable", "Log.enable", "Page.enable"})
        send(browser, domain);
    return true;
}

} // namespace

BrowserRun::~BrowserRun()
{
    if (commands >= 0)
        close(commands);
    if (replies >= 0)
        close(replies);
}

bool openDemoPage(BrowserRun& browser, const std::string& folder, const std::string& initScript)
{
    const int port = preparePage(folder) ? startServer(browser, folder) : 0;
    if (port == 0 || !startChromium(browser))
        return false;
    if (!initScript.empty())
        send(browser, "Page.addScriptToEvaluateOnNewDocument",
             "{\"source\":" + quoted(initScript) + "}");
    send(browser, "Page.navigate",
         "{\"url\":\"http://127.0.0.1:" + std::to_string(port) + "/index.html\"}");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (evaluate(browser, "document.readyState == 'complete' && "
                              "Module.started === true") == "true")
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "the program did not start in the page; console errors: "
                  << browser.consoleErrors.size();
    return false;
}

std::string evaluate(BrowserRun& browser, const std::string& expression)
{
    const std::string reply = send(browser, "Runtime.evaluate",
                                   "{\"expression\":" + quoted("String(" + expression + ")") +
                                       ",\"returnByValue\":true}");
    if (reply.find("\"exceptionDetails\"") != std::string::npos)
        return "(exception) " + jsonString(reply, "\"description\":\"");
    return jsonString(reply, "\"value\":\"");
}

Image captureCanvas(BrowserRun& browser)
{
    const std::string clip = evaluate(
        browser, "(r => `\"x\":${r.x},\"y\":${r.y},\"width\":${r.width},\"height\":${r.height}`)"
                 "(document.getElementById('canvas').getBoundingClientRect())");
    const std::string reply = send(browser, "Page.captureScreenshot",
                                   "{\"format\":\"png\",\"clip\":{" + clip + ",\"scale\":1}}");
    // The PNG, base64 in the reply, becomes a PPM we can read (coreutils, netpbm).
    const std::string folder = makeTempFolder("shot");
    std::ofstream(folder + "/shot.base64") << jsonString(reply, "\"data\":\"");
    ChildOptions options;
    options.argv = {"sh", "-c", "base64 -d shot.base64 | pngtopnm"};
    options.workingDirectory = folder;
    const std::string ppm = runTool(options, 10.0).out;
    Image image;
    int width = 0, height = 0, maximum = 0, header = 0;
    if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &header) != 3 ||
        maximum != 255 || ppm.size() < static_cast<std::size_t>(header + 1 + width * height * 3))
        return image;
    image = makeImage(width, height);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(ppm.data()) + header + 1;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x, bytes += 3)
            image.at(x, height - 1 - row) = {bytes[0], bytes[1], bytes[2]};
    }
    return image;
}
