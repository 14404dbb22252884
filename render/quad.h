// The light-mapped square: the wall multiplied by the light map in one pass,
// texture unit 0 replacing with the light map, unit 1 modulating by the wall.
#ifndef LIGHTMAP_RENDER_QUAD_H
#define LIGHTMAP_RENDER_QUAD_H

// Needs multitextureAvailable; sets every piece of state it relies on, each call.
void drawLightMappedQuad();

#endif
