// The benchmarks' baseline: the same GLUT window as the demo (single-buffered
// RGB, 500x500 at (100, 100)) that only clears and flushes, so that the demo's
// own cost shows as the difference.
#include <GL/glut.h>

namespace {

void display()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
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
