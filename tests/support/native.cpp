// The Linux build on the test's own X server, with the GL probe (tools/glprobe)
// preloaded: it counts flushed frames in a file and can hide the extension. The
// packaged one is the Debian package unpacked afresh (dpkg-deb -x), the case's
// images in its /usr/share/lightmap, started through its /usr/bin/lightmap from
// an unrelated folder.
#include "launcher.h"

namespace {

struct NativeDemo : Demo {
    bool packaged = false;
    std::string flushFile;

    bool launch(const DemoOptions& options) override
    {
        if (!openTestDisplay())
            return false;
        flushFile = makeTempFolder("frames") + "/frames";
        ChildOptions child;
        child.argv = options.wrapper;
        child.argv.push_back(LIGHTMAP_BINARY);
        child.workingDirectory = options.folder;
        if (packaged) {
            const std::string root = unpackArtifact(LIGHTMAP_DEB);
            if (root.empty())
                return false;
            placeImages(options.folder, root + "/usr/share/lightmap");
            child.argv.back() = root + "/usr/bin/lightmap";
            child.workingDirectory = makeTempFolder("elsewhere");
        }
        child.argv.insert(child.argv.end(), options.arguments.begin(), options.arguments.end());
        child.env = {std::string("LD_PRELOAD=") + LIGHTMAP_PROBE,
                     "LIGHTMAP_PROBE_FLUSH_FILE=" + flushFile};
        if (options.withoutMultitexture)
            child.env.push_back("LIGHTMAP_PROBE_EXTENSIONS=GL_EXT_abgr GL_EXT_bgra");
        child.env.insert(child.env.end(), options.env.begin(), options.env.end());
        startChild(this->child, child);
        return this->child.pid > 0;
    }

    long frames() override { return fileSize(flushFile); }
};

} // namespace

std::unique_ptr<Demo> makeNativeDemo(bool packaged)
{
    auto demo = std::make_unique<NativeDemo>();
    demo->packaged = packaged;
    return demo;
}
