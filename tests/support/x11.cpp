// The launchers whose program opens an X window on the test's own Xvfb
// (scripts/with-xvfb): the Linux build, and the Windows build under Wine. The one
// window titled as the demo's, a child of the root, is looked at and acted on
// from the X side. Only this file includes Xlib.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "launcher.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <filesystem>
#include <regex>

namespace {

Display* connection = nullptr;

// False, with the reason recorded as a failure, where there is no display.
bool openDisplay()
{
    if (connection == nullptr) {
        connection = XOpenDisplay(nullptr);
        // A window gone with its program is the test's to report; Xlib's default
        // handler would end the whole test process instead.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    if (connection == nullptr)
        ADD_FAILURE() << "no X display: CTest runs this test under scripts/with-xvfb; "
                      << "run it by hand the same way";
    return connection != nullptr;
}

// The top-level windows and their titles.
std::vector<std::pair<Window, std::string>> titled()
{
    std::vector<std::pair<Window, std::string>> found;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(connection, children[i], &name) && name != nullptr)
            found.emplace_back(children[i], name);
        XFree(name);
    }
    XFree(children);
    return found;
}

// The case's light.bmp and wall.bmp, as `from` has them or none, into `to`.
void placeImages(const std::string& from, const std::string& to)
{
    for (const std::string name : {"/light.bmp", "/wall.bmp"}) {
        std::error_code error;
        std::filesystem::remove(to + name, error);
        if (!error && std::filesystem::exists(from + name))
            std::filesystem::copy_file(from + name, to + name, error);
        if (error)
            ADD_FAILURE() << "placing " << from + name << " in " << to << ": " << error.message();
    }
}

struct WindowedDemo : Demo {
    Window found = 0;

    // The first frame is drawn when the window is exposed, so by then the window
    // exists: the wait covers only the X server's own lag. 0, with the titles
    // there recorded as a failure, if none shows.
    Window window()
    {
        const char title[] = "OpenGL Demo - Light Mapping (ARB_Multitexture)";
        XWindowAttributes attributes{};
        if (found == 0 && !pollUntil(2.0, [&] {
                int matches = 0;
                for (const auto& [window, name] : titled())
                    matches += name == title ? (found = window, 1) : 0;
                return matches == 1 && XGetWindowAttributes(connection, found, &attributes) &&
                       attributes.map_state == IsViewable;
            })) {
            std::string titles;
            for (const auto& entry : titled())
                titles += " \"" + entry.second + "\"";
            if (running()) // else the program's end is the news
                ADD_FAILURE() << "no one viewable window titled \"" << title
                              << "\"; top-level titles:" << titles << "; " << state();
            found = 0;
        }
        return found;
    }

    Point position() override
    {
        Point at;
        Window child = 0;
        XTranslateCoordinates(connection, window(), DefaultRootWindow(connection), 0, 0, &at.x,
                              &at.y, &child);
        return at;
    }

    Image capture() override
    {
        XWindowAttributes size{};
        XImage* shot =
            window() && XGetWindowAttributes(connection, found, &size)
                ? XGetImage(connection, found, 0, 0, size.width, size.height, AllPlanes, ZPixmap)
                : nullptr;
        if (shot == nullptr)
            return {};
        Image image = makeImage(size.width, size.height);
        for (int row = 0; row < size.height; ++row) {
            for (int x = 0; x < size.width; ++x) {
                const unsigned long pixel = XGetPixel(shot, x, row);
                image.at(x, size.height - 1 - row) = {static_cast<std::uint8_t>(pixel >> 16),
                                                      static_cast<std::uint8_t>(pixel >> 8),
                                                      static_cast<std::uint8_t>(pixel)};
            }
        }
        XDestroyImage(shot);
        return image;
    }

    void expose() override // GLUT then calls the display callback again
    {
        XClearArea(connection, window(), 0, 0, 0, 0, True);
        XSync(connection, False);
    }

    void resize(int width, int height) override
    {
        XResizeWindow(connection, window(), width, height);
        XSync(connection, False);
    }

    void paint(Rgb colour) override
    {
        GC gc = XCreateGC(connection, window(), 0, nullptr);
        XSetForeground(connection, gc, (colour.r << 16) | (colour.g << 8) | colour.b);
        XFillRectangle(connection, found, gc, 0, 0, 4096, 4096); // clipped to the window
        XFreeGC(connection, gc);
        XSync(connection, False);
    }
};

// The Linux build with the GL probe preloaded: it counts flushed frames in a
// file and can bend the driver's answers. Packaged: started through the
// unpacked package's /usr/bin/lightmap, the case's images in its
// /usr/share/lightmap, from an unrelated folder.
struct NativeDemo : WindowedDemo {
    std::string flushFile = makeTempFolder("frames") + "/frames";

    bool start(const DemoOptions& options) override
    {
        ChildOptions program;
        program.argv = options.wrapper;
        program.argv.push_back(unpacked.empty() ? LIGHTMAP_BINARY : unpacked + "/usr/bin/lightmap");
        program.workingDirectory = options.folder;
        if (!openDisplay())
            return false;
        if (!unpacked.empty()) {
            placeImages(options.folder, unpacked + "/usr/share/lightmap");
            program.workingDirectory = makeTempFolder("elsewhere");
        }
        program.argv.insert(program.argv.end(), options.arguments.begin(), options.arguments.end());
        DemoOptions probe = options;
        if (options.withoutMultitexture)
            probe.extensions = "GL_EXT_abgr GL_EXT_bgra";
        program.env = probeEnvironment(probe);
        program.env.push_back("LIGHTMAP_PROBE_FLUSH_FILE=" + flushFile);
        startChild(child, program);
        return child.pid > 0;
    }

    long frames() override { return fileSize(flushFile); }
};

// The Windows build under Wine, in one of the two prefixes that a CTest fixture
// makes for each test run (scripts/wine-prefix): the second hides the extension.
// The Wine cases take turns, so each stops every process of its prefix when it
// ends. Wine's GL trace counts the frames. Packaged: the unzipped exe, the
// case's images beside it.
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
        if (!openDisplay())
            return false;
        if (!unpacked.empty()) {
            program.workingDirectory = unpacked;
            placeImages(options.folder, unpacked);
            program.argv[1] = unpacked + "/lightmap.exe";
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

std::unique_ptr<Demo> makeNativeDemo()
{
    return std::make_unique<NativeDemo>();
}

std::unique_ptr<Demo> makeWineDemo()
{
    return std::make_unique<WineDemo>();
}
