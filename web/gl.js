// GL as the page knows it, in one place: the names of the values the program
// passes (one table, from which the constants and every name shown come), and
// one record per texture environment mode: how it combines, its sign in the
// equation, and its sentences. A new mode is one new record.

const names = {
  0x0007: 'GL_QUADS', 0x0104: 'GL_ADD', 0x0DE1: 'GL_TEXTURE_2D', 0x1401: 'GL_UNSIGNED_BYTE',
  0x1700: 'GL_MODELVIEW', 0x1701: 'GL_PROJECTION', 0x1907: 'GL_RGB', 0x1908: 'GL_RGBA',
  0x1E01: 'GL_REPLACE', 0x1F03: 'GL_EXTENSIONS', 0x2100: 'GL_MODULATE', 0x2101: 'GL_DECAL',
  0x2200: 'GL_TEXTURE_ENV_MODE', 0x2300: 'GL_TEXTURE_ENV', 0x2600: 'GL_NEAREST', 0x2601: 'GL_LINEAR',
  0x2702: 'GL_NEAREST_MIPMAP_LINEAR', 0x2800: 'GL_TEXTURE_MAG_FILTER', 0x2801: 'GL_TEXTURE_MIN_FILTER',
  0x2802: 'GL_TEXTURE_WRAP_S', 0x2803: 'GL_TEXTURE_WRAP_T', 0x2901: 'GL_REPEAT',
  0x4000: 'GL_COLOR_BUFFER_BIT', 0x84C0: 'GL_TEXTURE0_ARB', 0x84C1: 'GL_TEXTURE1_ARB',
};

// GL.TEXTURE_MAG_FILTER, GL.TEXTURE0 (the extension's suffix dropped), ...
export const GL = Object.fromEntries(Object.entries(names)
  .map(([value, name]) => [name.replace(/^GL_/, '').replace(/_ARB$/, ''), Number(value)]));

export const glName = value => names[value] || `0x${Number(value).toString(16).toUpperCase()}`;
export const glValue = name => GL[name.replace(/^GL_/, '')];

// Texels per channel of an upload's format.
export const channelsOf = format => (format == GL.RGBA ? 4 : 3);

// Each mode on an RGB texture, channels 0 to 255: `combine` gives the output from
// the colour coming in and the texel; `sign` is how the equation and the readout
// join its texture to what came before (null: it drops what came before);
// `channel` writes one channel's arithmetic; `teaches` is what it does as unit
// 1's mode, over the light map ("What if").
export const modes = [
  { value: GL.REPLACE, sign: null, computes: 'texture',
    working: 'its output is its texture\'s colour',
    teaches: 'GL_REPLACE throws unit 0\'s light away: the wall alone, unlit. Multiplying is what lights it.',
    combine: (input, texel) => texel },
  { value: GL.DECAL, sign: null, computes: 'texture',
    working: 'on an RGB texture, its output is the texture\'s colour',
    teaches: 'GL_DECAL on a texture without alpha gives the texture\'s own colour: here the same as GL_REPLACE.',
    combine: (input, texel) => texel },
  { value: GL.MODULATE, sign: '×', computes: 'previous × texture',
    working: 'previous × texture / 255, per channel',
    teaches: 'GL_MODULATE multiplies: the wall keeps its detail, and goes dark where the light map is dark.',
    channel: (input, texel) => `${input} × ${texel} / 255`,
    sentence: 'This is where the colour coming in and the texture are multiplied.',
    combine: (input, texel) => input.map((value, c) => value * texel[c] / 255) },
  { value: GL.ADD, sign: '+', computes: 'previous + texture, at most 255',
    working: 'previous + texture, per channel, clamped at 255',
    teaches: 'GL_ADD adds the light to the wall: everything brightens and bright parts clip at white, ' +
             'where light should scale a colour, not add to it.',
    channel: (input, texel) => `${input} + ${texel}`,
    combine: (input, texel) => input.map((value, c) => Math.min(255, value + texel[c])) },
];
for (const mode of modes) mode.name = glName(mode.value);

// The record of a mode value; one the page does not know is named and passes its input on.
export const modeOf = value => modes.find(mode => mode.value == value) ||
  { value, name: glName(value), sign: null, computes: 'a mode this page does not work out',
    working: 'a mode this page does not work out', combine: input => input };
