// The scene's two textures: slot 0 the 32x32 light map from "light.bmp", slot 1
// the 256x256 wall from "wall.bmp". Made at start-up, bound every frame.
#ifndef LIGHTMAP_TEXTURE_TEXTURES_H
#define LIGHTMAP_TEXTURE_TEXTURES_H

#include "glext/gl.h"

extern GLuint textureNames[2];

// Generates both names, then loads the light map and the wall. A file that cannot
// be read leaves its slot with a name and no image, silently.
void createTextures();

// Reads the file (size x size) and uploads it into textureNames[slot] with repeat
// wrapping and linear filtering; does nothing if the file cannot be read.
void loadTexture(const char* fileName, int size, int slot);

void deleteTextures();

#endif
