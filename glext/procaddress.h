// Looks up an OpenGL function of the current context's driver by name: the one
// place that knows which window-system binding (GLX or WGL) this platform has.
#ifndef LIGHTMAP_GLEXT_PROCADDRESS_H
#define LIGHTMAP_GLEXT_PROCADDRESS_H

using GLProc = void (*)();

// Returns the function, or null when the binding has none by that name.
GLProc lookupGLProc(const char* name);

#endif
