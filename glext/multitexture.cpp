// Decides once whether ARB_multitexture can be used and binds its entry points.
// The name is matched anywhere in the extension list, as a plain substring (so
// "GL_XARB_multitexture_extra" counts too), as the program has always done.
#include "multitexture.h"

#include "procaddress.h"

#include <cstdio>
#include <cstring>

int multitextureAvailable = 0;
ActiveTextureProc activeTextureARB = nullptr;
MultiTexCoord2fProc multiTexCoord2fARB = nullptr;

namespace {

// The diagnosis is the program's only output; flush it so that it is not lost
// in a pipe's buffer when the window is closed (the process ends in the loop).
int reportUnavailable(const char* line)
{
    std::printf("%s", line);
    std::fflush(stdout);
    return 0;
}

const char notFound[] = "ARB_Multitexture not found, get a better graphics card!\n";

} // namespace

int initMultitexture()
{
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    if (extensions == nullptr)
        return reportUnavailable("Fatal error, no extensions string!\n");
    if (std::strstr(reinterpret_cast<const char*>(extensions), "ARB_multitexture") == nullptr)
        return reportUnavailable(notFound);

    activeTextureARB = reinterpret_cast<ActiveTextureProc>(lookupGLProc("glActiveTextureARB"));
    multiTexCoord2fARB =
        reinterpret_cast<MultiTexCoord2fProc>(lookupGLProc("glMultiTexCoord2fARB"));

    // A driver that lists the extension but cannot hand out its functions has
    // not got it in any usable sense: never leave a null entry point to be called.
    if (activeTextureARB == nullptr || multiTexCoord2fARB == nullptr) {
        activeTextureARB = nullptr;
        multiTexCoord2fARB = nullptr;
        return reportUnavailable(notFound);
    }

    multitextureAvailable = 1;
    return 1;
}
