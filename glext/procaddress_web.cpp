// Entry-point lookup for the web build, whose OpenGL 1.x runs on WebGL through
// Emscripten's legacy GL emulation. Its lookup serves glActiveTextureARB, but it
// has no glMultiTexCoord2f, its glTexEnvf drops GL_TEXTURE_ENV_MODE, and a unit
// whose texture has no image draws black instead of being left out. So
// procaddress_web.js serves both entry points and mends the rest, leaning on the
// emulation's internals: it checks them when it runs, and the build warns on an
// Emscripten it was not tried with (CMakeLists.txt).
#include "procaddress.h"

#include "gl.h"

#include <EGL/egl.h>
#include <cstring>

extern "C" {
void lightmapMendGlEmulation();
// The two entry points, JS functions of procaddress_web.js under their ARB names
// (with our prefix): the page records the program's calls into WebGL by these
// names, the ones the program asked for.
void lightmap_glActiveTextureARB(GLenum texture);
void lightmap_glMultiTexCoord2fARB(GLenum target, GLfloat s, GLfloat t);
}

namespace {

bool mended = false;

void APIENTRY activeTexture(GLenum texture)
{
    lightmap_glActiveTextureARB(texture);
}

void APIENTRY multiTexCoord2f(GLenum target, GLfloat s, GLfloat t)
{
    lightmap_glMultiTexCoord2fARB(target, s, t);
}

} // namespace

// The first lookup also mends the emulation the entry points are used with: it
// comes at start-up with the context current, before any texture is made.
GLProc lookupGLProc(const char* name)
{
    if (!mended) {
        lightmapMendGlEmulation();
        mended = true;
    }
    if (std::strcmp(name, "glActiveTextureARB") == 0)
        return reinterpret_cast<GLProc>(&activeTexture);
    if (std::strcmp(name, "glMultiTexCoord2fARB") == 0)
        return reinterpret_cast<GLProc>(&multiTexCoord2f);
    return reinterpret_cast<GLProc>(eglGetProcAddress(name));
}
