// What the page shows of a run: each image as the program reads it, the calls the
// program made, the part of the light map that the square shows, and the probe's
// readout with a marker on each picture where it samples.
import { format } from './calls.js';
import { bmpPixels } from './images.js';
import { readout, sceneOf } from './probe.js';

const $ = id => document.getElementById(id);
const sizes = { light: 32, wall: 256 };
let shown = null; // the frame on screen: { record, canvas, scene }
let point = null; // the probe's pixel, from the canvas's top left

// The panel shows `bytes` (null: left out), offers them for download, and says
// what was done to make them.
export function showImage(which, bytes, note) {
  const size = sizes[which], context = $(`${which}-view`).getContext('2d');
  const link = $(`${which}-download`);
  context.clearRect(0, 0, size, size);
  if (link.href) URL.revokeObjectURL(link.href);
  link.hidden = !bytes;
  $(`${which}-note`).textContent = note;
  if (!bytes) return link.removeAttribute('href');
  context.putImageData(bmpPixels(bytes, size), 0, 0);
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/bmp' }));
}

function list(id, calls) {
  $(id).replaceChildren(...calls.map(call => {
    const item = document.createElement('li');
    item.append(Object.assign(document.createElement('code'), { textContent: format(call) }));
    return item;
  }));
}

function place(element, left, top, width, height) {
  element.hidden = false;
  Object.assign(element.style, { left: `${left * 100}%`, top: `${top * 100}%` });
  if (width !== undefined) Object.assign(element.style, { width: `${width * 100}%`, height: `${height * 100}%` });
}

// Unit 0's coordinates at the square's corners mark the light map's shown part,
// in the image's own orientation (its first row at the bottom).
function outline(scene) {
  const [s0, t0] = scene.low.coords[0], [s1, t1] = scene.high.coords[0], texels = sizes.light;
  place($('light-outline'), s0, 1 - t1, s1 - s0, t1 - t0);
  const range = (a, b) => `${Math.floor(a * texels)} to ${Math.ceil(b * texels) - 1}`;
  const columns = range(s0, s1), rows = range(t0, t1);
  $('light-caption').textContent = columns == rows
    ? `The square shows the outlined texels, ${columns} on each axis, stretched over all of it.`
    : `The square shows the outlined texels, columns ${columns} and rows ${rows}, stretched over it.`;
}

function probeAt(x, y) {
  point = { x, y };
  if (!shown || !shown.scene) return;
  const { text, note, samples, colours } = readout(shown.scene, shown.record.pixels, x, y);
  $('pixel').textContent = text;
  $('pixel-note').textContent = note;
  const swatches = $('pixel-swatches');
  swatches.hidden = false;
  swatches.querySelectorAll('[data-colour]').forEach((swatch, i) => {
    swatch.style.background = colours[i] ? `rgb(${colours[i].join(' ')})` : 'none';
  });
  place($('result-marker'), (x + 0.5) / shown.canvas.width, (y + 0.5) / shown.canvas.height);
  for (const [which, unit] of [['light', 0], ['wall', 1]]) {
    const marker = $(`${which}-marker`), sample = samples && samples[unit];
    if (sample) place(marker, sample.s - Math.floor(sample.s), 1 - (sample.t - Math.floor(sample.t)));
    else marker.hidden = true;
  }
}

// A frame of `record` is on `canvas`: the lists, the outline and the readout follow it.
export function present(record, canvas) {
  if (!shown || shown.record != record) list('startup-calls', record.startup);
  list('frame-calls', record.frame);
  shown = { record, canvas, scene: sceneOf(record.startup, record.frame, canvas.width, canvas.height) };
  if (shown.scene) outline(shown.scene);
  if (point) probeAt(point.x, point.y);
}

// Pointer, touch and keys on the result: the canvas is replaced on every run,
// so its box listens.
export function wireProbe() {
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
  const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
  box.addEventListener('keydown', event => {
    const step = steps[event.key], canvas = $('canvas');
    if (!step) return;
    event.preventDefault(); // the page does not scroll
    const from = point || { x: canvas.width / 2, y: canvas.height / 2 };
    probeAt(Math.min(canvas.width - 1, Math.max(0, from.x + step[0])),
            Math.min(canvas.height - 1, Math.max(0, from.y + step[1])));
  });
}
