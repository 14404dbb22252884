// Running the Windows build under Wine. All Wine tests share one prefix, made
// fresh for each test run by a CTest fixture and run one test at a time (see
// tests/CMakeLists.txt), so each may set the prefix's registry and stop all of
// its processes when it ends.
#ifndef LIGHTMAP_TESTS_WINE_H
#define LIGHTMAP_TESTS_WINE_H

#include <string>
#include <vector>

// The command that runs lightmap.exe in the prefix: GLUT's `-display DISPLAY`
// names the Windows screen, since freeglut would take $DISPLAY, the X display.
std::vector<std::string> wineCommand();

// NAME=value pairs for the child: the prefix, and a trace of the GL calls from
// which frames are counted.
std::vector<std::string> wineEnvironment();

// Sets HKCU\Software\Wine\OpenGL DisabledExtensions to GL_ARB_multitexture, or
// clears it; false, with the reason recorded as a failure, if reg.exe fails.
bool hideMultitextureInWine(bool hide);

// Frames the program has flushed, as the trace in its stderr shows them.
long wineFrames(const std::string& stderrPath);

// Ends every process of the prefix, its wineserver included.
void stopWine();

#endif
