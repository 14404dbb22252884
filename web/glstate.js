// One model of the GL state, fed by the program's recorded calls: the state right
// after each call and what that call changed, and the square as GL got it (each
// unit's state at glBegin, and the vertices with the coordinates they took). The
// texture units, the stepped calls, the probe and "What if" all read it. It
// starts from GL's own defaults; every value the program chose comes from its calls.
import { GL, channelsOf, modeOf } from './gl.js';

const parameters = { [GL.TEXTURE_MAG_FILTER]: 'mag', [GL.TEXTURE_MIN_FILTER]: 'min',
                     [GL.TEXTURE_WRAP_S]: 'wrapS', [GL.TEXTURE_WRAP_T]: 'wrapT' };

const newUnit = () => ({ texture: 0, enabled: false, mode: GL.MODULATE, coords: [0, 0] });
const newTexture = name => ({ name, file: null, width: 0, height: 0, channels: 3, texels: null,
                              min: GL.NEAREST_MIPMAP_LINEAR, mag: GL.LINEAR, wrapS: GL.REPEAT, wrapT: GL.REPEAT });
const newState = () => ({ active: 0, units: [newUnit(), newUnit()], textures: new Map([[0, newTexture(0)]]),
                          ortho: null, colour: [255, 255, 255], vertices: [], drawn: null });

function copyOf(state) {
  return { ...state, units: state.units.map(unit => ({ ...unit, coords: [...unit.coords] })),
           textures: new Map([...state.textures].map(([name, texture]) => [name, { ...texture }])),
           vertices: [...state.vertices] };
}

// A texture GL samples: one with a level 0 image and no mipmap filter (this model
// holds no mipmaps). Anything else leaves its unit as if texturing were off.
export const complete = texture => !!(texture && texture.texels &&
                                      (texture.min == GL.NEAREST || texture.min == GL.LINEAR));

// Texel (i, j) of `texture`, i from the left and j from the bottom row, as
// [r, g, b] in whatever format it was uploaded.
export function texelAt(texture, i, j) {
  const at = (j * texture.width + i) * texture.channels;
  return [texture.texels[at], texture.texels[at + 1], texture.texels[at + 2]];
}

// Each unit with its bound texture object in place of the name.
export const unitsOf = state => state.units.map(unit => ({ ...unit, texture: state.textures.get(unit.texture) }));

// Applies one call to `state` as GL got it, or with `asWritten` as the program
// made it (whatever "What if" changed); returns what it changed, as paths such
// as 'active', 'unit 1 texture' or 'texture 2 image'. `width` and `height` are
// the window's, which the viewport covers.
export function apply(state, call, { width = 1, height = 1, asWritten = false } = {}) {
  if (call.skipped && !asWritten) return [];
  const args = asWritten ? call.args : call.sent || call.args, { name } = call, [a, b, c, d] = args;
  const unit = state.units[state.active], at = `unit ${state.active}`;
  const bound = () => state.textures.get(unit.texture);
  switch (name) {
    case 'glActiveTextureARB': state.active = a - GL.TEXTURE0; return ['active'];
    case 'glBindTexture':
      if (!state.textures.has(b)) state.textures.set(b, newTexture(b));
      unit.texture = b;
      return [`${at} texture`];
    case 'glTexParameteri':
      if (!parameters[b] || !bound()) return [];
      bound()[parameters[b]] = c;
      return [`texture ${unit.texture} ${parameters[b]}`];
    case 'glTexImage2D':
      Object.assign(bound(), { width: d, height: args[4], channels: channelsOf(args[6]), texels: call.texels, file: call.file });
      return [`texture ${unit.texture} image`];
    case 'glTexEnvf': if (b != GL.TEXTURE_ENV_MODE) return []; unit.mode = c; return [`${at} mode`];
    case 'glEnable': case 'glDisable':
      if (a != GL.TEXTURE_2D) return [];
      unit.enabled = name == 'glEnable';
      return [`${at} enabled`];
    case 'glMultiTexCoord2fARB': state.units[a - GL.TEXTURE0].coords = [b, c]; return [`unit ${a - GL.TEXTURE0} coords`];
    case 'glOrtho': state.ortho = [a, b, c, d]; return ['view'];
    case 'glColor3f': case 'glColor4f': state.colour = [a, b, c].map(value => value * 255); return ['colour'];
    case 'glBegin':
      state.drawn = unitsOf(state);
      state.vertices = [];
      return ['units drawn with'];
    case 'glVertex3f': {
      const [left, right, bottom, top] = state.ortho || [-1, 1, -1, 1];
      state.vertices.push({ x: (a - left) / (right - left) * width, y: (b - bottom) / (top - bottom) * height,
                            coords: state.units.map(unit => [...unit.coords]) });
      return ['vertex'];
    }
    default: return [];
  }
}

// The state as the program means it, call by call, while it runs: "What if"
// asks it which unit is active and what is bound, whatever GL got.
export function tracker() {
  const state = newState();
  return { state, apply: call => apply(state, call, { asWritten: true }) };
}

// Every call of `startup` then `frame`, each with the state right after it and
// what it changed; `square` is the last quad drawn: its corners in window
// coordinates (y up) with each unit's coordinates there, and the units it was
// drawn with.
export function replay(startup, frame, width, height) {
  let state = newState();
  const steps = [], square = { corners: null, units: null };
  for (const [list, calls] of [['startup', startup], ['frame', frame]]) {
    calls.forEach((call, index) => {
      state = copyOf(state);
      const changed = apply(state, call, { width, height });
      if (call.name == 'glEnd' && state.vertices.length >= 4) Object.assign(square, { corners: state.vertices, units: state.drawn });
      steps.push({ list, index, call, state, changed });
    });
  }
  return { steps, square, width, height, colour: state.colour, textures: state.textures };
}

// The texture the program uploaded `file` into, in a model; undefined: none.
export const textureOf = (model, file) => [...model.textures.values()].find(texture => texture.file == file);

// Unit `n`'s coordinates over the square's corners: { s: [low, high], t: [low, high] }; null: no square.
export function rangeOf(model, n) {
  const corners = model.square.corners;
  if (!corners) return null;
  const span = k => [Math.min(...corners.map(corner => corner.coords[n][k])),
                     Math.max(...corners.map(corner => corner.coords[n][k]))];
  return { s: span(0), t: span(1) };
}

// Which units' textures reach the result, as the square was drawn: sampled
// (enabled, its texture complete), and not dropped by a later unit's mode.
export function counted(units) {
  const sampled = units.map((unit, n) => unit.enabled && complete(unit.texture) ? n : -1).filter(n => n >= 0);
  const dropping = sampled.filter(n => !modeOf(units[n].mode).sign).pop();
  return sampled.filter(n => dropping === undefined || n >= dropping);
}
