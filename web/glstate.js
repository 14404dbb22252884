// One model of the GL state, fed by the program's recorded calls: the state right
// after each call and what that call changed, and the square as GL got it (each
// unit's state at glBegin, and the vertices with the coordinates they took). The
// texture units, the stepped calls and the probe all read it. It starts from GL's
// own defaults; every value the program chose comes from its calls.

export const GL = {
  TEXTURE0: 0x84C0, TEXTURE_2D: 0x0DE1, TEXTURE_ENV_MODE: 0x2200, PROJECTION: 0x1701,
  MODULATE: 0x2100, REPLACE: 0x1E01, DECAL: 0x2101, ADD: 0x0104,
  NEAREST: 0x2600, LINEAR: 0x2601, NEAREST_MIPMAP_LINEAR: 0x2702, REPEAT: 0x2901,
  MAG_FILTER: 0x2800, MIN_FILTER: 0x2801, WRAP_S: 0x2802, WRAP_T: 0x2803,
};
const parameters = { [GL.MAG_FILTER]: 'mag', [GL.MIN_FILTER]: 'min', [GL.WRAP_S]: 'wrapS', [GL.WRAP_T]: 'wrapT' };

const newUnit = () => ({ texture: 0, enabled: false, mode: GL.MODULATE, coords: [0, 0] });
const newTexture = name => ({ name, file: null, width: 0, height: 0, texels: null,
                              min: GL.NEAREST_MIPMAP_LINEAR, mag: GL.LINEAR, wrapS: GL.REPEAT, wrapT: GL.REPEAT });

function copyOf(state) {
  return { ...state, units: state.units.map(unit => ({ ...unit, coords: [...unit.coords] })),
           textures: new Map([...state.textures].map(([name, texture]) => [name, { ...texture }])),
           vertices: [...state.vertices] };
}

// A texture GL samples: one with a level 0 image and no mipmap filter (this model
// holds no mipmaps). Anything else leaves its unit as if texturing were off.
export const complete = texture => !!(texture && texture.texels &&
                                      (texture.min == GL.NEAREST || texture.min == GL.LINEAR));

// Each unit with its bound texture object in place of the name.
export const unitsOf = state => state.units.map(unit => ({ ...unit, texture: state.textures.get(unit.texture) }));

// Applies one call, as GL got it, to `state`; returns what it changed, as paths
// such as 'active', 'unit 1 texture' or 'texture 2 image'.
function apply(state, call, width, height) {
  if (call.skipped) return [];
  const { name } = call, [a, b, c, d] = call.sent || call.args;
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
      Object.assign(bound(), { width: d, height: (call.sent || call.args)[4], texels: call.texels, file: call.file });
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

// Every call of `startup` then `frame`, each with the state right after it and
// what it changed; `square` is the last quad drawn: its corners in window
// coordinates (y up) with each unit's coordinates there, and the units it was
// drawn with. `width` and `height` are the window's, which the viewport covers.
export function replay(startup, frame, width, height) {
  let state = { active: 0, units: [newUnit(), newUnit()], textures: new Map([[0, newTexture(0)]]),
                ortho: null, colour: [255, 255, 255], vertices: [], drawn: null };
  const steps = [], square = { corners: null, units: null };
  for (const [list, calls] of [['startup', startup], ['frame', frame]]) {
    calls.forEach((call, index) => {
      state = copyOf(state);
      const changed = apply(state, call, width, height);
      if (call.name == 'glEnd' && state.vertices.length >= 4) Object.assign(square, { corners: state.vertices, units: state.drawn });
      steps.push({ list, index, call, state, changed });
    });
  }
  return { steps, square, width, height, colour: state.colour };
}
