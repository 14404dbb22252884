// The program's entry point and frame: opens the one window, sets a fixed view of
// the unit square and hands the thread to GLUT, which calls display to redraw.
#include "glext/gl.h"
#include "glext/multitexture.h"
#include "render/quad.h"
#include "texture/textures.h"

#include <GL/glut.h>

namespace {

const char windowTitle[] = "OpenGL Demo - Light Mapping (ARB_Multitexture)";
const int windowWidth = 500;
const int windowHeight = 500;
const int windowX = 100;
const int windowY = 100;

// The projection stays current and the model-view matrix stays the identity.
// No viewport is set: GLUT's default reshape keeps it covering the window.
void setupView()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
}

// Single-buffered: the flush is what puts the frame on the screen.
void display()
{
    glClear(GL_COLOR_BUFFER_BIT);
    if (multitextureAvailable)
        drawLightMappedQuad();
    glFlush();
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(windowWidth, windowHeight);
    glutInitWindowPosition(windowX, windowY);
    glutCreateWindow(windowTitle);

    initMultitexture();
    setupView();
    createTextures();

    glutDisplayFunc(display);
    glutMainLoop();

    // Reached only when GLUT is told to return from its loop; by default
    // closing the window ends the process inside it.
    deleteTextures();
    return 0;
}
