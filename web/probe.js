// The probe: how GL made one pixel of the program's picture, worked out from the
// square as the recorded calls drew it (glstate.js): the pixel's centre, each
// unit's coordinates there, the texels its filter blends and their weights, each
// unit's environment (gl.js's mode records), and the result beside the program's
// own pixel, read back from its canvas right after its frame.
import { GL, modeOf } from './gl.js';
import { complete, counted, texelAt } from './glstate.js';

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
// the point in texel space (u, v), for GL_LINEAR its whole texel (i, j) and
// fractions (a, b), the texels (i from the left, j from the bottom row) with
// their weights and colours, and the weighted sum.
export function filterAt(texture, s, t, rho) {
  const { width, height } = texture, magnified = rho <= 1;
  const filter = magnified ? texture.mag : texture.min;
  const u = s * width - 0.5, v = t * height - 0.5;
  const texel = (i, j, weight) => {
    const [wi, wj] = [wrap(i, width, texture.wrapS), wrap(j, height, texture.wrapT)];
    return { i: wi, j: wj, weight, colour: texelAt(texture, wi, wj) };
  };
  const i = Math.floor(filter == GL.NEAREST ? s * width : u), j = Math.floor(filter == GL.NEAREST ? t * height : v);
  const a = u - i, b = v - j;
  const taken = filter == GL.NEAREST ? [texel(i, j, 1)]
    : [texel(i, j, (1 - a) * (1 - b)), texel(i + 1, j, a * (1 - b)), texel(i, j + 1, (1 - a) * b), texel(i + 1, j + 1, a * b)];
  const colour = [0, 1, 2].map(c => taken.reduce((sum, texel) => sum + texel.weight * texel.colour[c], 0));
  return { filter, magnified, rho, u, v, i, j, a, b, texels: taken, colour };
}

// The program's pixel from its frame (bottom row first, four bytes a pixel).
export function drawnAt(frame, width, height, x, y) {
  const at = ((height - 1 - y) * width + x) * 4;
  return [frame[at], frame[at + 1], frame[at + 2]];
}

// How GL made the canvas pixel (x, y), counted from the top left; `reference`
// is the program as written's frame, where the calls were changed.
export function workAt(scene, pixels, x, y, reference = null) {
  const { width, height, low, high } = scene;
  const centre = { x: x + 0.5, y: height - y - 0.5 };
  const drawn = drawnAt(pixels, width, height, x, y), asWritten = reference && drawnAt(reference, width, height, x, y);
  const inside = centre.x >= low.x && centre.x < high.x && centre.y >= low.y && centre.y < high.y;
  if (!inside) return { x, y, centre, inside, drawn, asWritten };
  const across = { x: (centre.x - low.x) / (high.x - low.x), y: (centre.y - low.y) / (high.y - low.y) };
  let input = scene.colour;
  const units = scene.units.map((unit, n) => {
    const [s0, t0] = low.coords[n], [s1, t1] = high.coords[n];
    const s = s0 + across.x * (s1 - s0), t = t0 + across.y * (t1 - t0), texture = unit.texture;
    const step = { n, s, t, corners: [[s0, t0], [s1, t1]], unit, texture, input, output: input };
    if (!unit.enabled || !complete(texture)) return Object.assign(step, { off: true });
    const rho = Math.max(Math.abs((s1 - s0) * texture.width / (high.x - low.x)),
                         Math.abs((t1 - t0) * texture.height / (high.y - low.y)));
    const sample = filterAt(texture, s, t, rho), mode = modeOf(unit.mode);
    Object.assign(step, { sample, mode, output: mode.combine(input, sample.colour) });
    input = step.output;
    return step;
  });
  const exact = input, rounded = exact.map(value => Math.round(value));
  return { x, y, centre, inside, across, units, exact, rounded, drawn, asWritten,
           difference: drawn.map((value, c) => value - rounded[c]) };
}

// What a texture holds, as the readout names it: the image it was read from.
export const imageOf = texture => texture.file ? texture.file.replace(/\.bmp$/, '').replace(/^light$/, 'light map') : null;
const shortName = texture => (imageOf(texture) || `texture ${texture.name}`).replace('light map', 'light');

// The readout's text (the tests read its format: "light L × wall W = result" as
// written), a note on what GL did, and the parts for swatches: a colour, or an
// operator. It follows the units as drawn (glstate.js counted): their modes,
// and which are off.
export function readout(work) {
  const { x, y, drawn } = work;
  if (!work.inside) {
    return { text: `x ${x}, y ${y}: outside the square, no light or wall to sample = ${drawn.join(' ')}`,
             note: 'Outside the square the program only clears: black.', parts: [drawn] };
  }
  const notes = [], used = counted(work.units.map(step => step.unit));
  for (const step of work.units.filter(step => step.off)) {
    const texture = step.texture;
    notes.push(`Unit ${step.n} passes its input on: ${!step.unit.enabled
      ? `GL_TEXTURE_2D is not enabled on it${texture.texels ? `, so its ${shortName(texture)} image is never sampled` : ''}`
      : texture.texels ? 'its texture is incomplete' : 'its texture has no image'}.`);
  }
  const steps = used.map(n => work.units[n]), [first] = steps;
  if (first && !first.mode.sign && work.units.some(step => !step.off && step.n < first.n)) {
    notes.push(`Unit ${first.n}'s ${first.mode.name} drops what came before it: the ${shortName(first.texture)} alone.`);
  }
  const primary = first && first.mode.sign ? [[null, 'primary', first.input]] : [];
  const terms = [...primary, ...steps.map((step, k) => [k || primary.length ? step.mode.sign : null,
                                                        shortName(step.texture), step.sample.colour])];
  if (terms.length > 1) {
    const names = terms.map(([sign, name]) => sign ? `${sign} ${name}` : name).join(' ');
    notes.push(`Each channel: ${names}${names.includes('×') ? ' / 255' : ''}${names.includes('+') ? ', at most 255' : ''}, ` +
               'from the samples below before rounding.');
  }
  if (!terms.length) terms.push([null, 'primary', work.exact]);
  const rounded = terms.map(([sign, name, colour]) => [sign, name, colour.map(Math.round)]);
  const words = rounded.map(([sign, name, colour]) => `${sign ? `${sign} ` : ''}${name} ${colour.join(' ')}`);
  const parts = rounded.flatMap(([sign, , colour]) => sign ? [sign, colour] : [colour]);
  return { text: `x ${x}, y ${y}: ${words.join(' ')} = ${drawn.join(' ')}`, note: notes.join(' '),
           parts: [...parts, '=', drawn] };
}
