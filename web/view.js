// What the page shows of a run: the model of GL's state fed by the program's
// calls (glstate.js), and from it the texture units, the stepped calls, the
// outlines, and the probe: the readout, its working, and its marks (panels.js).
import { GL, complete, replay } from './glstate.js';
import { $, el, line } from './dom.js';
import { showDifference } from './difference.js';
import { markTexels, outline, panelsOf, place, showVertex } from './panels.js';
import { readout, sceneOf, workAt } from './probe.js';
import { showCalls, wireCalls } from './stepper.js';
import { showUnits } from './units.js';
import { showWorking } from './working.js';

export { showImage } from './panels.js';

let shown = null; // the frame on screen: { record, canvas, scene, panels, reference }
let point = null; // the probe's pixel, from the canvas's top left

// The readout, the marks and the working at the canvas pixel (x, y).
function probeAt(x, y) {
  point = { x, y };
  if (!shown || !shown.scene) return;
  const work = workAt(shown.scene, shown.record.pixels, x, y, shown.reference), { text, note, parts } = readout(work);
  $('pixel').textContent = text;
  $('pixel-note').textContent = note;
  const swatches = $('pixel-swatches');
  swatches.hidden = false;
  swatches.replaceChildren(...parts.map(part => typeof part == 'string' ? part
    : el('span', { attrs: { 'data-colour': '' }, style: `background: rgb(${part.join(' ')})` })));
  place($('result-marker'), (x + 0.5) / shown.canvas.width, (y + 0.5) / shown.canvas.height);
  for (const which of ['light', 'wall']) markTexels(which, work.inside && work.units[shown.panels.indexOf(which)]);
  showWorking($('working'), work, shown.scene);
}

// The equation follows the units as drawn: a panel whose image adds nothing to
// the result (not sampled, or replaced by a later unit) is dimmed, and the sign
// between the two is the mode that combines them, none where nothing does.
function showEquation(units, panels) {
  const sampled = units.map((unit, n) => unit.enabled && complete(unit.texture) ? n : -1).filter(n => n >= 0);
  const replacing = sampled.filter(n => units[n].mode == GL.REPLACE || units[n].mode == GL.DECAL).pop();
  const counted = sampled.filter(n => replacing === undefined || n >= replacing);
  for (const which of ['light', 'wall']) {
    $(`${which}-panel`).classList.toggle('unused', !counted.some(n => panels[n] == which));
  }
  const signs = { [GL.MODULATE]: '×', [GL.ADD]: '+' };
  $('times').textContent = counted.length == 2 ? signs[units[counted[1]].mode] || '' : '';
}

// A frame of `record` is on `canvas`: the model, and all that reads it, follow;
// where the run's calls were `changed` ("What if"), `reference` is the program
// as written's frame on the same images (null: it could not be made).
export function present(record, canvas, { reference, changed }) {
  const model = replay(record.startup, record.frame, canvas.width, canvas.height);
  const startupChanged = !shown || shown.record != record;
  const scene = sceneOf(model), panels = scene ? panelsOf(scene.units) : [];
  shown = { record, canvas, scene, panels, reference };
  showDifference(record.pixels, changed ? reference : undefined, canvas.width, canvas.height);
  $('difference').hidden = false; // not before the first frame, which it would slow
  showCalls(model, startupChanged);
  if (model.square.units) showUnits($('units'), model.square.units, model.colour);
  else $('units').replaceChildren(line('This frame drew no square: no texture unit was used.'));
  if (scene) outline(scene, panels);
  if (scene) showEquation(scene.units, panels);
  if (point) probeAt(point.x, point.y);
}

// Pointer, touch and keys on the result: the canvas is replaced on every run,
// so its box listens.
export function wireProbe() {
  wireCalls(vertex => showVertex(vertex, shown && shown.canvas, shown ? shown.panels : []));
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
