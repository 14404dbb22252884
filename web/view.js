// What the page shows of a run: the model of GL's state fed by the program's
// calls (glstate.js), and from it the texture units, the stepped calls, the
// outlines and the equation, and the probe: the readout, its working, and its
// marks (panels.js). The probe stands pinned on the square's centre at first; the
// pointer previews other pixels, a click or tap pins one, Escape or a click on
// the pinned pixel lets it go, and the arrow keys move it.
import { replay } from './glstate.js';
import { $, el, line, panelNames } from './dom.js';
import { showDifference } from './difference.js';
import { markTexels, outline, panelsOf, place, showEquation, showVertex } from './panels.js';
import { readout, sceneOf, workAt } from './probe.js';
import { showCalls, wireCalls } from './stepper.js';
import { showUnits } from './units.js';
import { showWorking } from './working.js';
import { compareExact, exactLine, showBake, wireBaker } from './baker.js';
import { state } from './state.js';

export { showImage } from './panels.js';
export { showBake };

const probe = state.probe, same = (a, b) => !!a && !!b && a.x == b.x && a.y == b.y;

// The readout, the marks and the working at the pixel shown: the one the
// pointer previews, else the pinned one.
function showProbe() {
  const shown = state.shown, at = probe.preview || probe.pinned;
  const pin = $('result-pin'), { width, height } = shown.canvas;
  pin.hidden = !probe.pinned;
  if (probe.pinned) place(pin, (probe.pinned.x + 0.5) / width, (probe.pinned.y + 0.5) / height);
  $('result-marker').hidden = !probe.preview || same(probe.preview, probe.pinned);
  if (probe.preview) place($('result-marker'), (probe.preview.x + 0.5) / width, (probe.preview.y + 0.5) / height);
  $('pin-note').textContent = !probe.pinned ? 'Click or tap a pixel to pin it: its working then stays while you read.'
    : same(at, probe.pinned) ? `Pinned at x ${at.x}, y ${at.y}: click it again, or press Escape, to let it go.`
    : `Pointing at x ${at.x}, y ${at.y}; the working goes back to the pinned x ${probe.pinned.x}, y ${probe.pinned.y} ` +
      'when the pointer leaves the picture. Click to pin this one.';
  if (!shown.scene || !at) return;
  const work = workAt(shown.scene, shown.record.pixels, at.x, at.y, shown.reference), { text, note, parts } = readout(work);
  $('pixel').textContent = text;
  $('pixel-note').textContent = note;
  const swatches = $('pixel-swatches');
  swatches.hidden = false;
  swatches.replaceChildren(...parts.map(part => typeof part == 'string' ? part
    : el('span', { attrs: { 'data-colour': '' }, style: `background: rgb(${part.join(' ')})` })));
  for (const which of panelNames()) markTexels(which, work.inside && work.units[shown.panels.indexOf(which)]);
  showWorking($('working'), work, shown.scene, exactLine(work));
}

// The light map against the exact light (slow: every pixel) once no bake waits.
function exactOnceAtRest() {
  clearTimeout(state.exactTimer);
  state.exactTimer = setTimeout(() => (state.baking ? exactOnceAtRest() : compareExact()), 200);
}

// A frame of `record` is on `canvas`: the model, and all that reads it, follow.
// `counts` are the calls "What if" changed; where it changed any, `reference` is
// the program as written's frame on the same images (null: it could not be made).
export function present(record, canvas, { reference, counts }) {
  const model = replay(record.startup, record.frame, canvas.width, canvas.height);
  const startupChanged = !state.shown || state.shown.record != record;
  const changed = Object.values(counts).some(count => count > 0);
  const scene = sceneOf(model), panels = scene ? panelsOf(scene.units) : [];
  const uploaded = [...model.textures.values()].map(texture => texture.file).filter(Boolean);
  state.shown = { record, canvas, model, scene, panels, counts, reference: changed ? reference : null };
  $('difference').hidden = !changed; // no room taken while the run is as written
  if (changed) showDifference(record.pixels, reference, canvas.width, canvas.height);
  showCalls(model, startupChanged);
  if (model.square.units) showUnits($('units'), model.square.units, model.colour);
  else $('units').replaceChildren(line('This frame drew no square: no texture unit was used.'));
  if (scene) outline(scene, panels, uploaded);
  if (scene) showEquation(scene.units, panels, uploaded);
  if (scene && !probe.pinned && !probe.preview) {
    probe.pinned = { x: Math.round((scene.low.x + scene.high.x) / 2),
                     y: Math.round(canvas.height - (scene.low.y + scene.high.y) / 2) };
  }
  showProbe();
  showBake();
  exactOnceAtRest();
}

// The canvas pixel under a pointer event, from the top left; null: no canvas.
function pixelOf(event) {
  const canvas = $('canvas'), rect = canvas.getBoundingClientRect();
  if (!rect.width) return null;
  const clamp = (value, size) => Math.min(size - 1, Math.max(0, Math.floor(value)));
  return { x: clamp((event.clientX - rect.left) * canvas.width / rect.width, canvas.width),
           y: clamp((event.clientY - rect.top) * canvas.height / rect.height, canvas.height) };
}

// Pointer, touch and keys on the result: the canvas is replaced on every run,
// so its box listens. A swipe that starts on the picture scrolls the page
// (touch-action: pan-y); a sideways drag moves the probe, and lifting pins it.
export function wireProbe() {
  wireBaker();
  wireCalls(vertex => showVertex(vertex, state.shown && state.shown.canvas, state.shown ? state.shown.panels : []));
  const box = $('result-view'), update = () => state.shown && showProbe();
  let pressed = false;
  box.addEventListener('pointerdown', () => { pressed = true; });
  box.addEventListener('pointermove', event => {
    probe.preview = pixelOf(event) || probe.preview;
    update();
  });
  box.addEventListener('pointerup', event => {
    const at = pixelOf(event);
    if (!pressed || !at) return;
    pressed = false;
    [probe.pinned, probe.preview] = same(at, probe.pinned) && event.pointerType != 'touch' ? [null, at] : [at, null];
    update();
  });
  const leave = () => {
    pressed = false;
    if (probe.pinned) probe.preview = null;
    update();
  };
  box.addEventListener('pointerleave', leave);
  box.addEventListener('pointercancel', leave);
  // Home and End go to the row's ends, PageUp and PageDown 10 rows; none scrolls the page.
  const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1],
                  PageUp: [0, -10], PageDown: [0, 10], Home: [-Infinity, 0], End: [Infinity, 0] };
  box.addEventListener('keydown', event => {
    const step = steps[event.key], canvas = $('canvas');
    if (event.key == 'Escape' && probe.pinned) [probe.pinned, probe.preview] = [null, probe.pinned];
    else if (!step) return;
    event.preventDefault();
    const from = probe.pinned || probe.preview || { x: canvas.width >> 1, y: canvas.height >> 1 };
    if (step) [probe.pinned, probe.preview] = [{ x: Math.min(canvas.width - 1, Math.max(0, from.x + step[0])),
                                                 y: Math.min(canvas.height - 1, Math.max(0, from.y + step[1])) }, null];
    update();
  });
}
