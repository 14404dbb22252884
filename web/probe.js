// The probe: what GL sampled at one pixel of the program's picture, worked out
// from the program's own recorded calls (the texels it uploaded, its view, and
// each unit's texture and coordinates over the square), beside the colour the
// program drew there, read back from its canvas right after its frame.

const GL_TEXTURE0 = 0x84C0, GL_TEXTURE_2D = 0x0DE1, GL_TEXTURE_ENV_MODE = 0x2200;

// The scene as the calls set it up: `startup` up to the loop, `frame` one frame.
export function sceneOf(startup, frame, width, height) {
  const textures = new Map();
  let bound = 0, ortho = [0, 1, 0, 1];
  for (const { name, args, texels } of startup) {
    if (name == 'glBindTexture') bound = args[1];
    if (name == 'glTexImage2D') textures.set(bound, { width: args[3], height: args[4], texels });
    if (name == 'glOrtho') ortho = args.slice(0, 4);
  }
  const units = [{}, {}], corners = [], coords = [];
  let active = 0;
  for (const { name, args: [a, b, c] } of frame) {
    if (name == 'glActiveTextureARB') active = a - GL_TEXTURE0;
    if (name == 'glBindTexture') units[active].texture = textures.get(b);
    if (name == 'glTexEnvf' && b == GL_TEXTURE_ENV_MODE) units[active].mode = c;
    if (name == 'glEnable' && a == GL_TEXTURE_2D) units[active].enabled = true;
    if (name == 'glMultiTexCoord2fARB') coords[a - GL_TEXTURE0] = [b, c];
    if (name == 'glVertex3f') {
      corners.push({ x: (a - ortho[0]) / (ortho[1] - ortho[0]) * width,
                     y: (b - ortho[2]) / (ortho[3] - ortho[2]) * height,
                     coords: coords.map(pair => [...pair]) });
    }
  }
  if (corners.length < 4) return null;
  // The square is axis-aligned: its lowest and highest corners give the mapping.
  const key = corner => corner.x + corner.y;
  const low = corners.reduce((a, b) => key(b) < key(a) ? b : a);
  const high = corners.reduce((a, b) => key(b) > key(a) ? b : a);
  return { width, height, units, low, high };
}

// GL_LINEAR between the four nearest texels, GL_REPEAT at the edges, as the
// program sets its textures up; rows bottom to top, as uploaded.
function sampleLinear({ width, height, texels }, s, t) {
  const u = s * width - 0.5, v = t * height - 0.5, i = Math.floor(u), j = Math.floor(v);
  const a = u - i, b = v - j, wrap = (n, size) => ((n % size) + size) % size;
  const texel = (x, y, channel) => texels[(wrap(y, height) * width + wrap(x, width)) * 3 + channel];
  return [0, 1, 2].map(ch => Math.round(
    (1 - a) * (1 - b) * texel(i, j, ch) + a * (1 - b) * texel(i + 1, j, ch) +
    (1 - a) * b * texel(i, j + 1, ch) + a * b * texel(i + 1, j + 1, ch)));
}

// At the canvas pixel (x, y), counted from the top left: null outside the
// square, else each unit's coordinates and sample (null: its texture has no
// image, so the unit passes white on).
export function sampleAt(scene, x, y) {
  const cx = x + 0.5, cy = scene.height - y - 0.5, { low, high } = scene;
  if (cx < low.x || cx >= high.x || cy < low.y || cy >= high.y) return null;
  const fx = (cx - low.x) / (high.x - low.x), fy = (cy - low.y) / (high.y - low.y);
  return scene.units.map((unit, i) => {
    const [s0, t0] = low.coords[i], [s1, t1] = high.coords[i];
    const s = s0 + fx * (s1 - s0), t = t0 + fy * (t1 - t0);
    const texture = unit.enabled && unit.texture && unit.texture.texels ? unit.texture : null;
    return { s, t, colour: texture && sampleLinear(texture, s, t) };
  });
}

// The program's pixel from its frame (bottom row first, four bytes a pixel).
export function drawnAt(frame, width, height, x, y) {
  const at = ((height - 1 - y) * width + x) * 4;
  return [frame[at], frame[at + 1], frame[at + 2]];
}

// The readout's text, a note for what the numbers alone do not say, and the
// three colours (light, wall, result; null where there is none) for swatches.
export function readout(scene, frame, x, y) {
  const drawn = drawnAt(frame, scene.width, scene.height, x, y).join(' ');
  const samples = sampleAt(scene, x, y);
  if (!samples) {
    return { text: `x ${x}, y ${y}: outside the square, no light or wall to sample = ${drawn}`,
             note: 'Outside the square the program only clears: black.', samples,
             colours: [null, null, drawn.split(' ')] };
  }
  const [light, wall] = samples.map(sample => sample.colour || [255, 255, 255]);
  const missing = [['light map', samples[0]], ['wall', samples[1]]].filter(([, s]) => !s.colour);
  return {
    text: `x ${x}, y ${y}: light ${light.join(' ')} × wall ${wall.join(' ')} = ${drawn}`,
    note: missing.length ? `No ${missing.map(([what]) => what).join(' and no ')} image: ` +
                           'a unit without one passes white on.'
                         : 'Each channel: light × wall / 255.',
    samples,
    colours: [light, wall, drawn.split(' ')],
  };
}
