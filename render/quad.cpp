// Draws the square in immediate mode. The unit set-up is issued in full every
// frame and nothing is restored: the state left behind is the state it sets.
#include "quad.h"

#include "glext/multitexture.h"
#include "texture/textures.h"

namespace {

struct Vertex {
    GLfloat lightS, lightT; // unit 0: the light map's texels 1 to 20 on each axis
    GLfloat wallS, wallT;   // unit 1: the whole wall, once
    GLfloat x, y, z;
};

// Counter-clockwise from the lower left, in the unit view.
const Vertex square[4] = {
    {0.03125f, 0.03125f, 0.0f, 0.0f, 0.2f, 0.2f, 0.0f},
    {0.65625f, 0.03125f, 1.0f, 0.0f, 0.8f, 0.2f, 0.0f},
    {0.65625f, 0.65625f, 1.0f, 1.0f, 0.8f, 0.8f, 0.0f},
    {0.03125f, 0.65625f, 0.0f, 1.0f, 0.2f, 0.8f, 0.0f},
};

void setUpUnit(GLenum unit, GLuint texture, GLenum mode)
{
    activeTextureARB(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(mode));
    glEnable(GL_TEXTURE_2D);
}

} // namespace

void drawLightMappedQuad()
{
    setUpUnit(GL_TEXTURE0_ARB, textureNames[0], GL_REPLACE);
    setUpUnit(GL_TEXTURE1_ARB, textureNames[1], GL_MODULATE);

    glBegin(GL_QUADS);
    for (const Vertex& v : square) {
        multiTexCoord2fARB(GL_TEXTURE0_ARB, v.lightS, v.lightT);
        multiTexCoord2fARB(GL_TEXTURE1_ARB, v.wallS, v.wallT);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}
