// Entry-point lookup for the platform's OpenGL binding: wglGetProcAddress on
// Windows, glXGetProcAddressARB on X11. Both answer for the current context.
#include "procaddress.h"

#include "gl.h"

#ifdef _WIN32

GLProc lookupGLProc(const char* name)
{
    return reinterpret_cast<GLProc>(wglGetProcAddress(name));
}

#else

#include <GL/glx.h>

GLProc lookupGLProc(const char* name)
{
    return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
}

#endif
