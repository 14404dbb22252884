// The one way the program includes OpenGL: Windows' gl.h needs <windows.h> first,
// and its 1.1 header lacks the ARB_multitexture tokens that Mesa's carries.
#ifndef LIGHTMAP_GLEXT_GL_H
#define LIGHTMAP_GLEXT_GL_H

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#endif
#include <GL/gl.h>

#ifndef GL_TEXTURE0_ARB
#define GL_TEXTURE0_ARB 0x84C0
#define GL_TEXTURE1_ARB 0x84C1
#endif

#endif
