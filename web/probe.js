// The probe: how GL made one pixel of the program's picture, worked out from the
// square as the recorded calls drew it (glstate.js): the pixel's centre, each
// unit's coordinates there, the texels its filter blends and their weights, each
// unit's environment, and the result beside the program's own pixel, read back
// from its canvas right after its frame.
import { GL, complete } from './glstate.js';

// The square as drawn: its lowest and highest corners (it is axis-aligned in
// window coordinates) give the mapping from the window to each unit's coordinates.
export function sceneOf({ square, width, height, colour }) {
  if (!square.corners) return null;
  const key = corner => corner.x + corner.y;
  const low = square.corners.reduce((a, b) => key(b) < key(a) ? b : a);
  const high = square.corners.reduce((a, b) => key(b) > key(a) ? b : a);
  return { width, height, colour, units: square.units, low, high };
}

// Texel n of `size` as `mode` (GL_REPEAT, else clamped) takes it.
export const wrap = (n, size, mode) => mode == GL.REPEAT ? ((n % size) + size) % size : Math.min(size - 1, Math.max(0, n));

// What `texture`'s filter reads at (s, t), with `rho` its texels per pixel:
// the point in texel space, the texels (i from the left, j from the bottom row)
// with their weights and colours, and the weighted sum.
function filterAt(texture, s, t, rho) {
  const { width, height, texels } = texture, magnified = rho <= 1;
  const filter = magnified ? texture.mag : texture.min;
  const u = s * width - 0.5, v = t * height - 0.5;
  const texel = (i, j, weight) => {
    const at = (wrap(j, height, texture.wrapT) * width + wrap(i, width, texture.wrapS)) * 3;
    return { i: wrap(i, width, texture.wrapS), j: wrap(j, height, texture.wrapT), weight,
             colour: [texels[at], texels[at + 1], texels[at + 2]] };
  };
  let taken;
  if (filter == GL.NEAREST) {
    taken = [texel(Math.floor(s * width), Math.floor(t * height), 1)];
  } else {
    const i = Math.floor(u), j = Math.floor(v), a = u - i, b = v - j;
    taken = [texel(i, j, (1 - a) * (1 - b)), texel(i + 1, j, a * (1 - b)),
             texel(i, j + 1, (1 - a) * b), texel(i + 1, j + 1, a * b)];
  }
  const colour = [0, 1, 2].map(c => taken.reduce((sum, texel) => sum + texel.weight * texel.colour[c], 0));
  return { filter, magnified, rho, u, v, texels: taken, colour };
}

// A unit's environment on an RGB texture, channels 0 to 255.
const environments = {
  [GL.REPLACE]: (input, texture) => texture,
  [GL.DECAL]: (input, texture) => texture,
  [GL.MODULATE]: (input, texture) => input.map((value, c) => value * texture[c] / 255),
  [GL.ADD]: (input, texture) => input.map((value, c) => Math.min(255, value + texture[c])),
};

// The program's pixel from its frame (bottom row first, four bytes a pixel).
export function drawnAt(frame, width, height, x, y) {
  const at = ((height - 1 - y) * width + x) * 4;
  return [frame[at], frame[at + 1], frame[at + 2]];
}

// How GL made the canvas pixel (x, y), counted from the top left.
export function workAt(scene, pixels, x, y) {
  const { width, height, low, high } = scene;
  const centre = { x: x + 0.5, y: height - y - 0.5 };
  const drawn = drawnAt(pixels, width, height, x, y);
  const inside = centre.x >= low.x && centre.x < high.x && centre.y >= low.y && centre.y < high.y;
  if (!inside) return { x, y, centre, inside, drawn };
  const across = { x: (centre.x - low.x) / (high.x - low.x), y: (centre.y - low.y) / (high.y - low.y) };
  let input = scene.colour;
  const units = scene.units.map((unit, n) => {
    const [s0, t0] = low.coords[n], [s1, t1] = high.coords[n];
    const s = s0 + across.x * (s1 - s0), t = t0 + across.y * (t1 - t0), texture = unit.texture;
    const step = { n, s, t, corners: [[s0, t0], [s1, t1]], unit, texture, input, output: input };
    if (!unit.enabled || !complete(texture)) return Object.assign(step, { off: true });
    const rho = Math.max(Math.abs((s1 - s0) * texture.width / (high.x - low.x)),
                         Math.abs((t1 - t0) * texture.height / (high.y - low.y)));
    const sample = filterAt(texture, s, t, rho), environment = environments[unit.mode];
    Object.assign(step, { sample, mode: unit.mode, output: environment ? environment(input, sample.colour) : null });
    input = step.output || input;
    return step;
  });
  const exact = input, rounded = exact.map(value => Math.round(value));
  return { x, y, centre, inside, across, units, exact, rounded, drawn,
           difference: drawn.map((value, c) => value - rounded[c]) };
}

// The readout's text (the tests read its format), a note, and the three colours
// (light, wall, result; null where there is none) for swatches.
export function readout(work) {
  const { x, y, drawn } = work;
  if (!work.inside) {
    return { text: `x ${x}, y ${y}: outside the square, no light or wall to sample = ${drawn.join(' ')}`,
             note: 'Outside the square the program only clears: black.', colours: [null, null, drawn] };
  }
  const white = [255, 255, 255];
  const [light, wall] = work.units.map(step => step.sample ? step.sample.colour.map(Math.round) : white);
  const off = [['light map', work.units[0]], ['wall', work.units[1]]].filter(([, step]) => step.off);
  return {
    text: `x ${x}, y ${y}: light ${light.join(' ')} × wall ${wall.join(' ')} = ${drawn.join(' ')}`,
    note: off.length ? `No ${off.map(([what]) => what).join(' and no ')} image: its unit passes its input on, ` +
                       'shown as white, which leaves a product as it is.'
                     : 'Each channel: light × wall / 255, from the samples below before rounding.',
    colours: [light, wall, drawn],
  };
}
