// The texture set. Pixels pass through one of two fixed buffers on their way to
// OpenGL, which keeps its own copy; nothing is allocated and nothing is held.
#include "textures.h"

#include "bmp_reader.h"

GLuint textureNames[2] = {0, 0};

namespace {

const int lightMapSide = 32;
const int wallSide = 256;

unsigned char smallPixels[lightMapSide * lightMapSide * 3];
unsigned char largePixels[wallSide * wallSide * 3];

} // namespace

void createTextures()
{
    textureNames[0] = 0;
    textureNames[1] = 0;
    glGenTextures(2, textureNames);
    loadTexture("light.bmp", lightMapSide, 0);
    loadTexture("wall.bmp", wallSide, 1);
}

void loadTexture(const char* fileName, int size, int slot)
{
    // readBmpPixels refuses sides past the large buffer's.
    unsigned char* pixels = size <= lightMapSide ? smallPixels : largePixels;
    if (slot < 0 || slot > 1 || !readBmpPixels(fileName, size, pixels))
        return;

    glBindTexture(GL_TEXTURE_2D, textureNames[slot]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Rows of 3 * 32 and 3 * 256 bytes suit the default unpack alignment of 4.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

void deleteTextures()
{
    glDeleteTextures(2, textureNames);
}
