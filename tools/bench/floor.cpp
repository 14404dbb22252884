// The page benchmark's floor: the demo's GLUT window under the same GL emulation
// on the web, with its view, drawing one untextured square: no images, no
// extension, no texturing state. What the page costs above this is the demo's.
#include <GL/glut.h>

namespace {

void display()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    glVertex3f(0.2f, 0.2f, 0.0f);
    glVertex3f(0.8f, 0.2f, 0.0f);
    glVertex3f(0.8f, 0.8f, 0.0f);
    glVertex3f(0.2f, 0.8f, 0.0f);
    glEnd();
    glFlush();
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("floor");
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glutDisplayFunc(display);
    glutMainLoop();
    return 0;
}
