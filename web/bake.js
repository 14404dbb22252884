// Baking a light map, as the page's "Make a light map" does it: up to four
// lights over the square and one ambient colour, evaluated at the square point
// each texel's centre lands on under unit 0's coordinates as the program passes
// them, so that the program draws the bake where the lights were placed.
//
//   d_k     = sqrt((x − X_k)² + (y − Y_k)² + H_k²)
//   light_c = A_c + Σ_k C_k,c × max(0, 1 − d_k / R_k) × H_k / d_k
//   byte_c  = min(255, round(255 × light_c))
//
// (x, y) and (X, Y) are in the square's units, 0 to 1 across it as the wall's own
// coordinates; H is the height above the wall, R the radius where the light has
// faded to nothing, C and A colours 0 to 1 a channel. H / d is the cosine between
// the wall's normal and the light. The address keeps a bake as
// lights=X,Y,H,R,RRGGBB;X,Y,H,R,RRGGBB&ambient=RRGGBB.

export const most = 4;
export const limits = { x: [0, 1], y: [0, 1], h: [0.01, 2], r: [0.01, 2] };
const round3 = value => Math.round(value * 1000) / 1000;
const hex = colour => colour.map(c => c.toString(16).padStart(2, '0')).join('');
const colourOf = text => (/^[0-9a-f]{6}$/i.test(text) ? [0, 2, 4].map(at => parseInt(text.slice(at, at + 2), 16)) : null);
const ordinal = n => `${n}${['th', 'st', 'nd', 'rd'][n % 100 > 10 && n % 100 < 14 ? 0 : Math.min(n % 10, 4) % 4]}`;

// A new light, placed where the square has most room.
export const newLight = (x = 0.5, y = 0.5) => ({ x, y, h: 0.2, r: 0.8, colour: [255, 224, 176] });

// The bake in `hash` (as location.hash gives it), or null where it names none;
// every value it had to change or drop is said in `notes`.
export function bakeFromHash(hash) {
  const given = new URLSearchParams(hash.replace(/^#/, '')), notes = [];
  if (!given.has('lights') && !given.has('ambient')) return { bake: null, notes };
  const bake = { lights: [], ambient: [0, 0, 0], chosen: 0 };
  if (given.has('ambient')) {
    bake.ambient = colourOf(given.get('ambient')) || bake.ambient;
    if (!colourOf(given.get('ambient'))) notes.push(`the ambient "${given.get('ambient')}" is not a colour RRGGBB: none taken`);
  }
  const texts = (given.get('lights') || '').split(';').filter(text => text.trim());
  texts.forEach((text, n) => {
    const parts = text.split(','), numbers = parts.slice(0, 4).map(Number), colour = colourOf(parts[4] || '');
    if (parts.length != 5 || numbers.some(value => !Number.isFinite(value)) || !colour) {
      return notes.push(`the ${ordinal(n + 1)} light "${text}" is not X,Y,H,R,RRGGBB: dropped`);
    }
    if (bake.lights.length == most) return notes.push(`the ${ordinal(n + 1)} light is one more than ${most}: dropped`);
    const light = { colour };
    for (const [k, key] of ['x', 'y', 'h', 'r'].entries()) {
      const [low, high] = limits[key], value = round3(numbers[k]);
      light[key] = Math.min(high, Math.max(low, value));
      if (light[key] != value) {
        notes.push(`the ${ordinal(n + 1)} light's ${{ x: 'x', y: 'y', h: 'height', r: 'radius' }[key]} ${numbers[k]} ` +
                   `is outside ${low} to ${high}: ${light[key]} taken`);
      }
    }
    bake.lights.push(light);
  });
  return { bake, notes };
}

export const bakeToHash = bake => (bake ? [
  ['lights', bake.lights.map(l => [l.x, l.y, l.h, l.r].map(round3).join(',') + `,${hex(l.colour)}`).join(';')],
  ['ambient', hex(bake.ambient)]] : []);

// Each light's part of the light at square point (x, y): its distance, falloff,
// cosine and contribution a channel (0 to 1); and the sum with the ambient.
export function lightAt(bake, x, y) {
  const parts = bake.lights.map(light => {
    const d = Math.hypot(x - light.x, y - light.y, light.h), falloff = Math.max(0, 1 - d / light.r), cosine = light.h / d;
    return { d, falloff, cosine, light: light.colour.map(c => c / 255 * falloff * cosine) };
  });
  const sum = [0, 1, 2].map(c => parts.reduce((total, part) => total + part.light[c], bake.ambient[c] / 255));
  return { parts, sum, bytes: sum.map(value => Math.min(255, Math.round(255 * value))) };
}

// The square point a texel's centre lands on: `range` is unit 0's (glstate.js
// rangeOf) over the square, `size` the map's side.
export const squarePoint = (i, j, size, range) => [
  ((i + 0.5) / size - range.s[0]) / (range.s[1] - range.s[0]),
  ((j + 0.5) / size - range.t[0]) / (range.t[1] - range.t[0])];

// The map's texels, row 0 (the bottom) first, three bytes each: what the
// program's texture gets from the baked light.bmp.
export function bakeTexels(bake, size, range) {
  const texels = new Uint8Array(size * size * 3);
  for (let j = 0; j < size; ++j) {
    for (let i = 0; i < size; ++i) texels.set(lightAt(bake, ...squarePoint(i, j, size, range)).bytes, (j * size + i) * 3);
  }
  return texels;
}
