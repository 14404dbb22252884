// What each of the program's calls does in GL, in a sentence or two for someone
// who has drawn a textured quad but never used two texture units. The values in
// them are the call's own arguments and the model's state (glstate.js).
import { GL, glName, modeOf } from './gl.js';
import { shortFloat } from './calls.js';

const filters = { [GL.LINEAR]: 'blends the four nearest texels by distance', [GL.NEAREST]: 'takes the one nearest texel' };
const parameter = {
  [GL.TEXTURE_WRAP_S]: v => `Sets what s outside 0 to 1 samples: ${glName(v)}${v == GL.REPEAT ? ' keeps its fraction, so the texture tiles' : ''}.`,
  [GL.TEXTURE_WRAP_T]: v => `Sets what t outside 0 to 1 samples: ${glName(v)}${v == GL.REPEAT ? ' keeps its fraction, so the texture tiles' : ''}.`,
  [GL.TEXTURE_MAG_FILTER]: v => `Sets the filter for a magnified texture, where a texel covers more than a pixel: ${glName(v)} ${filters[v] || ''}.`,
  [GL.TEXTURE_MIN_FILTER]: v => `Sets the filter for a minified texture, where a pixel covers more than a texel: ${glName(v)} ${filters[v] || ''}.`,
};

const does = {
  glutInit: () => 'Starts GLUT and hands it the command line.',
  glutInitDisplayMode: () => 'Asks for an RGB window with one colour buffer: what is drawn goes straight to the window.',
  glutInitWindowSize: ([w, h]) => `Asks for a window ${w}×${h} pixels inside.`,
  glutInitWindowPosition: ([x, y]) => `Asks for the window's top left at (${x}, ${y}) on the screen.`,
  glutCreateWindow: () => 'Opens the window with this title and makes its GL context current: every GL call after it goes there.',
  glutDisplayFunc: () => 'Names the function GLUT calls whenever the window needs drawing: the frame below.',
  glutMainLoop: () => 'Hands the program to GLUT, which calls the display function when needed. It never returns.',
  glGetString: () => 'Asks the driver for its extensions; the program goes on only if GL_ARB_multitexture is among them.',
  glClearColor: args => `Sets the colour glClear fills the window with: ${args.map(shortFloat).join(', ')} (red, green, blue, alpha).`,
  glMatrixMode: ([mode]) => `Makes ${glName(mode)} the matrix the next matrix calls change.`,
  glLoadIdentity: () => 'Resets the current matrix to the identity.',
  glOrtho: ([l, r, b, t]) => `A parallel projection: x from ${l} to ${r} and y from ${b} to ${t} fill the viewport, the whole window.`,
  glGenTextures: ([n], call) => `Reserves ${n} texture names, ${call.names.join(' and ')}. Each holds nothing until it is bound and given an image.`,
  glBindTexture: ([, name], call, state) => `Binds texture ${name} to the active unit, unit ${state.active}: that unit samples it, ` +
    'and glTexParameteri and glTexImage2D change it.',
  glTexParameteri: ([, name, value], call, state) => (parameter[name] || (() => 'Sets a texture parameter.'))(value) +
    ` It applies to texture ${state.units[state.active].texture}, bound on the active unit.`,
  glTexImage2D: ([, level, , w, h, , format], call, state) => `Uploads a ${w}×${h} ${glName(format).slice(3)} image` +
    `${call.file ? ` read from ${call.file}` : ''} ` +
    `as level ${level} of texture ${state.units[state.active].texture}; GL keeps its own copy. ` +
    'Its first row is texel row j = 0, the bottom.',
  glDeleteTextures: () => 'Frees the texture names and their images.',
  glClear: () => 'Fills the window with the clear colour.',
  glActiveTextureARB: ([unit]) => `Selects unit ${unit - GL.TEXTURE0}: the glBindTexture, glTexEnvf and glEnable that follow set ` +
    `unit ${unit - GL.TEXTURE0}. It does not say which unit glMultiTexCoord2fARB sets: that call names its unit.`,
  glTexEnvf: ([, , mode], call, state) => `Sets how unit ${state.active} combines its texture with the colour coming in: ` +
    `${glName(mode)}, ${modeOf(mode).computes}.${modeOf(mode).sentence ? ` ${modeOf(mode).sentence}` : ''}`,
  glEnable: ([cap], call, state) => cap == GL.TEXTURE_2D
    ? `Turns 2D texturing on for unit ${state.active}: it samples its bound texture at every pixel.` : `Turns ${glName(cap)} on.`,
  glDisable: ([cap], call, state) => cap == GL.TEXTURE_2D
    ? `Turns 2D texturing off for unit ${state.active}: it passes its input on.` : `Turns ${glName(cap)} off.`,
  glBegin: () => 'Starts a quadrilateral: the next glVertex3f calls are its corners, drawn with the units as they are now.',
  glMultiTexCoord2fARB: ([unit, s, t]) => `Sets unit ${unit - GL.TEXTURE0}'s current texture coordinates to (${shortFloat(s)}, ${shortFloat(t)}). ` +
    'The next glVertex3f takes them with it as its corner\'s coordinates.',
  glVertex3f: ([x, y, z], call, state) => {
    const vertex = state.vertices[state.vertices.length - 1];
    const pair = coords => coords.map(shortFloat).join(', ');
    return `A corner at (${[x, y, z].map(shortFloat).join(', ')}): (${vertex.x.toFixed(1)}, ${vertex.y.toFixed(1)}) ` +
      `in the window, y up, with unit 0 at (${pair(vertex.coords[0])}) and unit 1 at (${pair(vertex.coords[1])}).`;
  },
  glEnd: () => 'Ends the quadrilateral. GL fills it, interpolating each unit\'s coordinates between the corners, ' +
    'and runs both units for every pixel, in one pass.',
  glFlush: () => 'Sends what is queued to the driver; with one colour buffer the frame is then on screen.',
};

// The sentence for `call` with the arguments GL got.
export const whatItDoes = (call, state) =>
  (does[call.name] || (() => 'A call this page does not explain.'))(call.sent || call.args, call, state);
