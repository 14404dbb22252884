// The baseline: the same GLUT window as the demo (single-buffered RGB, 500x500
// at (100, 100)) that only clears and flushes, so that the demo's own cost shows
// as the difference in the benchmarks, and GLUT's own GL calls show in a trace
// (tests/program/call_order_test.cpp). It draws a second frame by itself.
#include <GL/glut.h>

namespace {

bool redrawn = false;

void display()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
    if (!redrawn) {
        redrawn = true;
        glutPostRedisplay();
    }
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("lightmap baseline");
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glutDisplayFunc(display);
    glutMainLoop();
    return 0;
}
