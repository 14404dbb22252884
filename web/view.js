// What the page shows of a run: each image as the program reads it, the model of
// GL's state fed by the program's calls (glstate.js), and from it the texture
// units, the stepped calls, the outline of what each unit shows, and the probe:
// the readout, its working, and the texels it blends marked on the pictures.
import { bmpPixels } from './images.js';
import { replay } from './glstate.js';
import { $, line, ofTexels } from './dom.js';
import { readout, sceneOf, workAt } from './probe.js';
import { showCalls, wireCalls } from './stepper.js';
import { showUnits } from './units.js';
import { showWorking } from './working.js';

const sizes = { light: 32, wall: 256 };
let shown = null; // the frame on screen: { record, canvas, scene }
let point = null; // the probe's pixel, from the canvas's top left

// The panel shows `bytes` (null: left out, white with "no image"), offers them
// for download, and says what was done to make them.
export function showImage(which, bytes, note) {
  const size = sizes[which], context = $(`${which}-view`).getContext('2d');
  const link = $(`${which}-download`);
  if (link.href) URL.revokeObjectURL(link.href);
  link.hidden = !bytes;
  $(`${which}-note`).textContent = note;
  $(`${which}-none-label`).hidden = !!bytes;
  if (!bytes) {
    context.fillStyle = '#fff';
    context.fillRect(0, 0, size, size);
    return link.removeAttribute('href');
  }
  context.putImageData(bmpPixels(bytes, size), 0, 0);
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/bmp' }));
}

// `element` at the fraction (left, top) of its picture, `width` by `height` when given.
function place(element, left, top, width, height) {
  element.hidden = false;
  Object.assign(element.style, { left: `${left * 100}%`, top: `${top * 100}%` });
  if (width !== undefined) Object.assign(element.style, { width: `${width * 100}%`, height: `${height * 100}%` });
}
const fraction = value => value - Math.floor(value);

// Each unit's coordinates at the square's corners, outlined on its picture in
// the image's own orientation (its first row at the bottom) and labelled.
function outline(scene) {
  for (const [which, n] of [['light', 0], ['wall', 1]]) {
    const [s0, t0] = scene.low.coords[n], [s1, t1] = scene.high.coords[n], size = sizes[which];
    const box = $(`${which}-outline`), label = (s, t) => s == t ? ofTexels(s, size) : `(${ofTexels(s, size)}, ${ofTexels(t, size)})`;
    place(box, s0, 1 - t1, s1 - s0, t1 - t0);
    box.querySelector('.low').textContent = label(s0, t0);
    box.querySelector('.high').textContent = label(s1, t1);
  }
  const [s0, t0] = scene.low.coords[0], [s1, t1] = scene.high.coords[0], texels = sizes.light;
  const range = (a, b) => `${Math.floor(a * texels)} to ${Math.ceil(b * texels) - 1}`;
  const columns = range(s0, s1), rows = range(t0, t1);
  $('light-caption').textContent = (columns == rows
    ? `The square shows the outlined texels, ${columns} on each axis, stretched over all of it.`
    : `The square shows the outlined texels, columns ${columns} and rows ${rows}, stretched over it.`) +
    ` Texel i covers i/${texels} to (i+1)/${texels}, so ${ofTexels(s0, texels)} to ${ofTexels(s1, texels)} spans texels ${columns}.`;
}

// The probe's marks on one input picture: the sample point and the texels blended.
function markTexels(which, step) {
  const marker = $(`${which}-marker`), block = $(`${which}-texels`), sample = step && step.sample;
  marker.hidden = block.hidden = !sample;
  if (!sample) return;
  const { width, height } = step.texture, [first] = sample.texels, side = sample.texels.length == 1 ? 1 : 2;
  place(marker, fraction(step.s), 1 - fraction(step.t));
  place(block, (first.i + side / 2) / width, 1 - (first.j + side / 2) / height);
  Object.assign(block.style, { width: `max(10px, ${side / width * 100}%)`, height: `max(10px, ${side / height * 100}%)` });
}

function probeAt(x, y) {
  point = { x, y };
  if (!shown || !shown.scene) return;
  const work = workAt(shown.scene, shown.record.pixels, x, y), { text, note, colours } = readout(work);
  $('pixel').textContent = text;
  $('pixel-note').textContent = note;
  const swatches = $('pixel-swatches');
  swatches.hidden = false;
  swatches.querySelectorAll('[data-colour]').forEach((swatch, i) => {
    swatch.style.background = colours[i] ? `rgb(${colours[i].join(' ')})` : 'none';
  });
  place($('result-marker'), (x + 0.5) / shown.canvas.width, (y + 0.5) / shown.canvas.height);
  markTexels('light', work.inside && work.units[0]);
  markTexels('wall', work.inside && work.units[1]);
  showWorking($('working'), work, shown.scene);
}

// A chosen glVertex3f's corner on the result, and its coordinates on each picture.
function showVertex(vertex) {
  for (const id of ['result-vertex', 'light-vertex', 'wall-vertex']) $(id).hidden = !vertex;
  if (!vertex || !shown) return;
  place($('result-vertex'), vertex.x / shown.canvas.width, 1 - vertex.y / shown.canvas.height);
  vertex.coords.forEach(([s, t], n) => place($(`${['light', 'wall'][n]}-vertex`), s == 1 ? 1 : fraction(s), 1 - (t == 1 ? 1 : fraction(t))));
}

// A frame of `record` is on `canvas`: the model, and all that reads it, follow.
export function present(record, canvas) {
  const model = replay(record.startup, record.frame, canvas.width, canvas.height);
  const startupChanged = !shown || shown.record != record;
  shown = { record, canvas, scene: sceneOf(model) };
  showCalls(model, startupChanged);
  if (model.square.units) showUnits($('units'), model.square.units, model.colour);
  else $('units').replaceChildren(line('This frame drew no square: no texture unit was used.'));
  if (shown.scene) outline(shown.scene);
  if (point) probeAt(point.x, point.y);
}

// Pointer, touch and keys on the result: the canvas is replaced on every run,
// so its box listens.
export function wireProbe() {
  wireCalls(showVertex);
  const box = $('result-view');
  // GLUT turns touches into mouse events for callbacks this program does not
  // have, and cancels them in listeners Chrome treats as passive, which logs an
  // error each time; on the canvas, touches stop here, before GLUT's (added by
  // each run's glutInit, after this), and reach the probe as pointer events.
  for (const type of ['touchstart', 'touchmove', 'touchend']) {
    window.addEventListener(type, event => {
      if (box.contains(event.target)) event.stopImmediatePropagation();
    }, { capture: true, passive: true });
  }
  const fromPointer = event => {
    const canvas = $('canvas'), rect = canvas.getBoundingClientRect();
    if (!rect.width) return;
    const clamp = (value, size) => Math.min(size - 1, Math.max(0, Math.floor(value)));
    probeAt(clamp((event.clientX - rect.left) * canvas.width / rect.width, canvas.width),
            clamp((event.clientY - rect.top) * canvas.height / rect.height, canvas.height));
  };
  box.addEventListener('pointermove', fromPointer);
  box.addEventListener('pointerdown', fromPointer);
  box.addEventListener('focusin', () => {
    const canvas = $('canvas');
    if (!point) probeAt(canvas.width / 2, canvas.height / 2);
  });
  // Home and End go to the row's ends, PageUp and PageDown 10 rows; none scrolls the page.
  const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1],
                  PageUp: [0, -10], PageDown: [0, 10], Home: [-Infinity, 0], End: [Infinity, 0] };
  box.addEventListener('keydown', event => {
    const step = steps[event.key], canvas = $('canvas');
    if (!step) return;
    event.preventDefault();
    const from = point || { x: canvas.width / 2, y: canvas.height / 2 };
    probeAt(Math.min(canvas.width - 1, Math.max(0, from.x + step[0])),
            Math.min(canvas.height - 1, Math.max(0, from.y + step[1])));
  });
}
