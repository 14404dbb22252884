// ARB_multitexture: whether the driver offers it, and its two entry points the
// renderer calls. Written once by initMultitexture at start-up, read per frame.
#ifndef LIGHTMAP_GLEXT_MULTITEXTURE_H
#define LIGHTMAP_GLEXT_MULTITEXTURE_H

#include "gl.h"

using ActiveTextureProc = void(APIENTRY*)(GLenum texture);
using MultiTexCoord2fProc = void(APIENTRY*)(GLenum texture, GLfloat s, GLfloat t);

// 1 once both entry points are bound (and so both are non-null), else 0.
extern int multitextureAvailable;
extern ActiveTextureProc activeTextureARB;
extern MultiTexCoord2fProc multiTexCoord2fARB;

// Must run with the window's context current, before any other GL call.
// Returns 1 when multitexturing is available, 0 (after one line on standard
// output) when it is not.
int initMultitexture();

#endif
