// The Linux build on the test's own X server, with the GL probe (tools/glprobe)
// preloaded: it counts flushed frames in a file and can bend the driver's
// answers. Packaged: the Debian package unpacked afresh (dpkg-deb -x), the case's
// images in its /usr/share/lightmap, started through its /usr/bin/lightmap from an
// unrelated folder.
#include "x11.h"

namespace {

struct NativeDemo : WindowedDemo {
    std::string flushFile = makeTempFolder("frames") + "/frames";

    bool start(const DemoOptions& options) override
    {
        ChildOptions program;
        program.argv = options.wrapper;
        program.argv.push_back(LIGHTMAP_BINARY);
        program.workingDirectory = options.folder;
        const std::string root = packaged ? unpackArtifact(LIGHTMAP_DEB) : "";
        if (!openDisplay() || (packaged && root.empty()))
            return false;
        if (packaged) {
            placeImages(options.folder, root + "/usr/share/lightmap");
            program.argv.back() = root + "/usr/bin/lightmap";
            program.workingDirectory = makeTempFolder("elsewhere");
        }
        program.argv.insert(program.argv.end(), options.arguments.begin(), options.arguments.end());
        program.env = {"LD_PRELOAD=" LIGHTMAP_PROBE, "LIGHTMAP_PROBE_FLUSH_FILE=" + flushFile};
        if (options.withoutMultitexture)
            program.env.push_back("LIGHTMAP_PROBE_EXTENSIONS=GL_EXT_abgr GL_EXT_bgra");
        program.env.insert(program.env.end(), options.env.begin(), options.env.end());
        startChild(child, program);
        return child.pid > 0;
    }

    long frames() override { return fileSize(flushFile); }
};

} // namespace

std::unique_ptr<Demo> makeNativeDemo()
{
    return std::make_unique<NativeDemo>();
}
