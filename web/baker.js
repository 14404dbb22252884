// "Make a light map": the square (the wall, faint) under the light map's texel
// grid, the texels that cover it and those around it, with up to four lights as
// handles to drag or move with the keys; the chosen light's colour, radius and
// height and the ambient colour; how a texel was baked; and the light map
// against the exact light over the square. The bake itself is bake.js's; a
// change is told to the page with a "bakechange" event on the region, and what
// becomes of it (the address, the bake, a run) is page.js's.
import { bakeTexels, lightAt, limits, most, newLight, squarePoint } from './bake.js';
import { complete } from './glstate.js';
import { bmpPixels } from './images.js';
import { drawRamp, paintDifferences } from './difference.js';
import { filterAt } from './probe.js';
import { place } from './panels.js';
import { $, el, fileOf, fixed, line, offer, rgb, sizeOf } from './dom.js';
import { state } from './state.js';

const cell = 12, f3 = value => fixed(value, 3), hex = colour => `#${colour.map(c => c.toString(16).padStart(2, '0')).join('')}`;
const fromHex = text => [1, 3, 5].map(at => parseInt(text.slice(at, at + 2), 16));

// The texels shown: those whose cells touch the square, and one more each side.
function grid() {
  const size = sizeOf('light'), { s, t } = state.range;
  const first = ([low]) => Math.max(0, Math.floor(low * size) - 1), last = ([, high]) => Math.min(size - 1, Math.ceil(high * size));
  const along = ([low, high], i) => (i / size - low) / (high - low); // a texel edge in square units
  return { size, i: [first(s), last(s)], j: [first(t), last(t)], x: i => along(s, i), y: j => along(t, j) };
}

// The light map's texel (i, j), j from the bottom: the bake's, or the image's.
function texelsNow(size) {
  if (state.bake) return bakeTexels(state.bake, size, state.range);
  const bytes = state.images.light && state.images.light.bytes, texels = new Uint8Array(size * size * 3).fill(255);
  for (let k = 0; bytes && k < size * size; ++k) texels.set([bytes[54 + k * 3 + 2], bytes[54 + k * 3 + 1], bytes[54 + k * 3]], k * 3);
  return texels;
}

function drawView() {
  const g = grid(), canvas = $('bake-view'), columns = g.i[1] - g.i[0] + 1, rows = g.j[1] - g.j[0] + 1;
  [canvas.width, canvas.height] = [columns * cell, rows * cell];
  // The texels a pixel each, top row first, then scaled up to cells: a drag
  // draws this every frame.
  const context = canvas.getContext('2d'), texels = texelsNow(g.size), image = new ImageData(columns, rows);
  for (let j = g.j[0]; j <= g.j[1]; ++j) {
    for (let i = g.i[0]; i <= g.i[1]; ++i) {
      const at = ((g.j[1] - j) * columns + i - g.i[0]) * 4;
      image.data.set(texels.subarray((j * g.size + i) * 3, (j * g.size + i) * 3 + 3), at);
      image.data[at + 3] = 255;
    }
  }
  const texelCanvas = el('canvas', { width: columns, height: rows });
  texelCanvas.getContext('2d').putImageData(image, 0, 0);
  context.imageSmoothingEnabled = false;
  context.drawImage(texelCanvas, 0, 0, canvas.width, canvas.height);
  // The square, from the square's corners 0 and 1 through the texels' edges.
  const px = x => (x - g.x(g.i[0])) / (g.x(g.i[1] + 1) - g.x(g.i[0])) * canvas.width;
  const py = y => (1 - (y - g.y(g.j[0])) / (g.y(g.j[1] + 1) - g.y(g.j[0]))) * canvas.height;
  const wall = state.images.wall && state.images.wall.bytes;
  if (wall && (!state.faintWall || state.faintWall.bytes != wall)) { // drawn once for each wall
    const image = el('canvas', { width: sizeOf('wall'), height: sizeOf('wall') });
    image.getContext('2d').putImageData(bmpPixels(wall, sizeOf('wall')), 0, 0);
    state.faintWall = { bytes: wall, image };
  }
  if (wall) {
    Object.assign(context, { globalAlpha: 0.3, imageSmoothingEnabled: true });
    context.drawImage(state.faintWall.image, px(0), py(1), px(1) - px(0), py(0) - py(1));
    context.globalAlpha = 1;
  }
  context.strokeStyle = '#0006';
  for (let k = 0; k <= columns; ++k) context.strokeRect(k * cell, 0, 0, canvas.height);
  for (let k = 0; k <= rows; ++k) context.strokeRect(0, k * cell, canvas.width, 0);
  context.strokeStyle = '#ff0';
  context.lineWidth = 2;
  context.strokeRect(px(0), py(1), px(1) - px(0), py(0) - py(1));
  return { at: (x, y) => [px(x) / canvas.width, py(y) / canvas.height], g };
}

const name = (light, n) => `Light ${n + 1} at ${fixed(light.x, 2)}, ${fixed(light.y, 2)}`;

// The view, the handles and the controls as the state has them.
export function showBake() {
  if (!state.range) return;
  const { at } = drawView(), bake = state.bake, box = $('bake-box');
  const handles = [...box.querySelectorAll('.handle')];
  handles.slice(bake ? bake.lights.length : 0).forEach(handle => handle.remove());
  (bake ? bake.lights : []).forEach((light, n) => {
    const handle = handles[n] || box.appendChild(el('button', { type: 'button', className: 'handle', textContent: n + 1,
      attrs: { 'aria-describedby': 'bake-keys', 'data-n': n } }));
    handle.setAttribute('aria-label', name(light, n));
    handle.setAttribute('aria-pressed', String(n == bake.chosen));
    handle.style.background = hex(light.colour);
    place(handle, ...at(light.x, light.y));
  });
  const chosen = bake && bake.lights[bake.chosen];
  for (const id of ['bake-remove', 'bake-colour', 'bake-radius', 'bake-height']) $(id).disabled = !chosen;
  $('bake-add').disabled = !!bake && bake.lights.length >= most;
  if (chosen) [$('bake-colour').value, $('bake-radius').value, $('bake-height').value] = [hex(chosen.colour), chosen.r, chosen.h];
  $('bake-radius-value').textContent = chosen ? f3(chosen.r) : '';
  $('bake-height-value').textContent = chosen ? f3(chosen.h) : '';
  $('bake-ambient').value = hex(bake ? bake.ambient : [0, 0, 0]);
  offer($('bake-save'), state.images.light.bake && state.images.light.bytes);
}

// "How this texel was baked", for texel (i, j) of the light map.
function showTexel(i, j) {
  const bake = state.bake, { size } = grid(), box = $('bake-texel');
  if (!bake) return box.replaceChildren(line('The light map is an image, not a bake: add a light to bake one.'));
  const { s, t } = state.range, [x, y] = squarePoint(i, j, size, state.range), { parts, sum, bytes } = lightAt(bake, x, y);
  const got = state.shown && [...state.shown.model.textures.values()].find(texture => texture.file == fileOf('light'));
  box.replaceChildren(el('h3', {}, `How texel (${i}, ${j}) was baked`),
    line(`its centre: ((${i} + 0.5)/${size}, (${j} + 0.5)/${size}) = (${(i + 0.5) / size}, ${(j + 0.5) / size})`),
    line(`unit 0 spans s ${s[0]} to ${s[1]}, t ${t[0]} to ${t[1]} over the square, so the square point is`),
    line(`x = (${(i + 0.5) / size} − ${s[0]}) / ${s[1] - s[0]} = ${f3(x)}, y = (${(j + 0.5) / size} − ${t[0]}) / ${t[1] - t[0]} = ${f3(y)}`),
    ...parts.flatMap(({ d, falloff, cosine, light: part }, n) => {
      const l = bake.lights[n];
      return [el('h4', {}, `Light ${n + 1} at (${l.x}, ${l.y}), height ${l.h}, radius ${l.r}, colour ${l.colour.join(' ')}`),
        line(`d = √((x − ${l.x})² + (y − ${l.y})² + ${l.h}²) = ${f3(d)}`),
        line(`falloff max(0, 1 − d / ${l.r}) = ${f3(falloff)}, cosine ${l.h} / d = ${f3(cosine)}`),
        line(`colour / 255 × falloff × cosine = ${rgb(part, 3)}`)];
    }),
    line(`ambient ${rgb(bake.ambient.map(c => c / 255), 3)}; the sum: ${rgb(sum, 3)}`),
    line(`× 255, rounded, at most 255: ${bytes.join(' ')}, the byte stored`),
    got && got.texels ? line(`the program's texture holds ${[0, 1, 2].map(c => got.texels[(j * got.width + i) * got.channels + c]).join(' ')}`) : '');
}

// The light map against the exact light: at every pixel of the square the
// lights evaluated at its square point, beside what the light map gives there
// filtered, as the probe works it out.
export function compareExact() {
  const shown = state.shown, bake = state.images.light.bake, caption = $('bake-exact-caption');
  $('bake-exact').hidden = !bake || !shown || !shown.scene;
  if ($('bake-exact').hidden) return;
  drawRamp($('bake-exact-ramp'));
  const { scene, canvas } = shown, { low, high } = scene;
  const n = scene.units.findIndex(unit => unit.enabled && complete(unit.texture) && unit.texture.file == fileOf('light'));
  if (n < 0) return void (caption.textContent = 'No texture unit samples the light map in this run: nothing to compare.');
  const texture = scene.units[n].texture, [[s0, t0], [s1, t1]] = [low.coords[n], high.coords[n]];
  const rho = Math.max(Math.abs((s1 - s0) * texture.width / (high.x - low.x)), Math.abs((t1 - t0) * texture.height / (high.y - low.y)));
  const { largest, at } = paintDifferences($('bake-exact-view'), canvas.width, canvas.height, (x, y) => {
    const ax = (x + 0.5 - low.x) / (high.x - low.x), ay = (y + 0.5 - low.y) / (high.y - low.y);
    if (ax < 0 || ax >= 1 || ay < 0 || ay >= 1) return 0;
    const exact = lightAt(bake, ax, ay).bytes, map = filterAt(texture, s0 + ax * (s1 - s0), t0 + ay * (t1 - t0), rho).colour;
    return Math.max(...exact.map((value, c) => Math.abs(value - Math.round(map[c]))));
  });
  caption.textContent = `The light map is within ${largest} of 255 of the exact light over the square` +
    (at ? `; the largest difference, ${largest}, at x ${at.x}, y ${at.y}.` : '.') +
    ' Each dot is 2×2 pixels, coloured by the largest difference among them.';
}

// The exact light at the probe's pixel, for its working; null where no bake is shown.
export const exactLine = work => state.images.light.bake && work.inside &&
  line(`the exact light here: ${lightAt(state.images.light.bake, work.across.x, work.across.y).bytes.join(' ')}`);

// A handle's light from a pointer over the view, or a key.
function moveTo(n, x, y) {
  const light = state.bake.lights[n], round = value => Math.round(Math.min(1, Math.max(0, value)) * 1000) / 1000;
  [light.x, light.y] = [round(x), round(y)];
}

export function wireBaker() {
  // The view is drawn again at most once an animation frame: a drag's pointer
  // moves come faster than that.
  const redraw = () => state.viewFrame || (state.viewFrame = requestAnimationFrame(() => {
    state.viewFrame = 0;
    showBake();
  }));
  const box = $('bake-box'), change = () => { redraw(); $('bake').dispatchEvent(new Event('bakechange')); };
  const choose = n => { state.bake.chosen = n; showBake(); };
  for (const [id, [low, high]] of [['bake-radius', limits.r], ['bake-height', limits.h]]) Object.assign($(id), { min: low, max: high, step: 0.01 });
  $('bake-add').addEventListener('click', () => {
    state.bake = state.bake || { lights: [], ambient: [24, 24, 24] };
    state.bake.chosen = state.bake.lights.push(newLight(0.2 + 0.2 * state.bake.lights.length, 0.5)) - 1;
    change();
  });
  $('bake-remove').addEventListener('click', () => {
    state.bake.lights.splice(state.bake.chosen, 1);
    state.bake.chosen = Math.max(0, state.bake.chosen - 1);
    change();
  });
  const edit = (id, apply) => $(id).addEventListener('input', () => { apply($(id).value); change(); });
  edit('bake-colour', value => { state.bake.lights[state.bake.chosen].colour = fromHex(value); });
  edit('bake-radius', value => { state.bake.lights[state.bake.chosen].r = Number(value); });
  edit('bake-height', value => { state.bake.lights[state.bake.chosen].h = Number(value); });
  edit('bake-ambient', value => {
    state.bake = state.bake || { lights: [], ambient: [0, 0, 0], chosen: 0 };
    state.bake.ambient = fromHex(value);
  });
  const pointAt = event => {
    const rect = $('bake-view').getBoundingClientRect(), g = grid();
    const fx = (event.clientX - rect.left) / rect.width, fy = (event.clientY - rect.top) / rect.height;
    return { x: g.x(g.i[0]) + fx * (g.x(g.i[1] + 1) - g.x(g.i[0])), y: g.y(g.j[1] + 1) - fy * (g.y(g.j[1] + 1) - g.y(g.j[0])),
             i: g.i[0] + Math.floor(fx * (g.i[1] - g.i[0] + 1)), j: g.j[1] - Math.floor(fy * (g.j[1] - g.j[0] + 1)) };
  };
  // While a handle is held, each frame is replaced by the next: only the one
  // after it is let go is explained (runs.js).
  box.addEventListener('pointerdown', event => {
    const handle = event.target.closest('.handle');
    if (!handle) return;
    state.dragging = { n: Number(handle.dataset.n) };
    handle.setPointerCapture(event.pointerId);
    choose(state.dragging.n);
  });
  box.addEventListener('pointermove', event => {
    const at = pointAt(event);
    if (!state.dragging) return at.i >= 0 && showTexel(at.i, at.j);
    moveTo(state.dragging.n, at.x, at.y);
    state.dragging.moved = true;
    change();
  });
  const release = () => {
    const moved = state.dragging && state.dragging.moved;
    state.dragging = null;
    if (moved) change(); // its frame explained
  };
  box.addEventListener('pointerup', release);
  box.addEventListener('pointercancel', release);
  box.addEventListener('focusin', event => event.target.closest('.handle') && choose(Number(event.target.dataset.n)));
  const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, 1], ArrowDown: [0, -1] };
  box.addEventListener('keydown', event => {
    const handle = event.target.closest('.handle'), step = steps[event.key];
    if (!handle || !step) return;
    event.preventDefault();
    const n = Number(handle.dataset.n), light = state.bake.lights[n], by = event.shiftKey ? 0.1 : 0.01;
    moveTo(n, light.x + step[0] * by, light.y + step[1] * by);
    change();
  });
  // A texel of the light map panel, pointed at.
  $('light-box').addEventListener('pointermove', event => {
    const rect = $('light-view').getBoundingClientRect(), size = sizeOf('light');
    const i = Math.floor((event.clientX - rect.left) / rect.width * size), j = size - 1 - Math.floor((event.clientY - rect.top) / rect.height * size);
    if (i >= 0 && i < size && j >= 0 && j < size) showTexel(i, j);
  });
}
