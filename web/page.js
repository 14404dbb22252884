// The page around the web build: the visitor's actions (an image chosen,
// dropped or left out, Reset, the "What if" switches and the address) become
// the state (state.js) and a fresh run of the program (runs.js), and what the
// page shows follows that run. Every failure, while the program starts or while
// it draws, becomes a message in words, never a blank canvas.
import { convert, encodeBmp } from './images.js';
import { fetchOk } from './program.js';
import { buildSwitches, fromHash, showSwitches, toHash } from './whatif.js';
import { bakeFromHash, bakeTexels, bakeToHash } from './bake.js';
import { explained, meantNow, run, showPanels } from './runs.js';
import { $, fileOf, panelNames, say, sizeOf } from './dom.js';
import { state } from './state.js';

const panels = () => panelNames();

// GLUT turns touches into mouse events for callbacks this program does not
// have, and cancels them, which stops a swipe from scrolling and logs an error
// where it cannot; on the picture, touches stop here, before GLUT's (added by
// each run's glutInit, after this), and reach the probe as pointer events.
for (const type of ['touchstart', 'touchmove', 'touchend']) {
  window.addEventListener(type, event => {
    if ($('result-view').contains(event.target)) event.stopImmediatePropagation();
  }, { capture: true, passive: true });
}

// What the program throws or aborts with once it runs (GLUT draws each frame in
// an animation frame, after the run's start has resolved), in its own words.
window.addEventListener('error', event => say('status', `The program stopped: ${event.message}`));

// The address keeps the bake and the switches not as written (replaced, not
// pushed: the back button leaves the page).
function keepAddress() {
  const kept = [...bakeToHash(state.bake), ...toHash(state.choices)].map(([key, value]) => `${key}=${value}`).join('&');
  history.replaceState(null, '', location.pathname + location.search + (kept ? `#${kept}` : ''));
}

// The switches from a select, shown and kept in the address, then a fresh run.
function switchTo(choices) {
  state.choices = choices;
  showSwitches(choices, null, meantNow());
  keepAddress();
  run();
}

// The address as it stands (a link opened, or changed by hand): its switches,
// and its bake (what it had to change or drop said), baked, then a fresh run.
function fromAddress() {
  const { bake, notes } = bakeFromHash(location.hash);
  state.choices = fromHash(location.hash);
  showSwitches(state.choices, null, meantNow());
  say('bake-message', notes.length ? `From the address: ${notes.join('; ')}.` : '');
  if (JSON.stringify(bake) == JSON.stringify(state.bake)) return run();
  state.bake = bake;
  return bake ? bakeNow() : run();
}

// A change to the bake (a light moved, added, removed or recoloured, the
// ambient): baked and kept in the address; while a bake's run is on its way the
// next waits for it, so that every run reaches the screen and the last change is
// always the one drawn.
function rebake() {
  if (state.baking) return void (state.bakeAgain = true);
  keepAddress();
  state.baking = Promise.resolve(bakeNow()).finally(() => {
    state.baking = null;
    if (!state.bakeAgain) return;
    state.bakeAgain = false;
    rebake();
  });
}

// The bake as the light map from now on, a fresh run on it (its promise), at
// the size and range of the program as written; with none known yet (no run
// has drawn), it waits for the first.
function bakeNow() {
  const bake = state.bake, size = sizeOf('light'), range = state.range;
  if (!bake || !range) return run();
  const texels = bakeTexels(bake, size, range), count = bake.lights.length;
  const bytes = encodeBmp(size, (i, j) => texels.subarray((j * size + i) * 3, (j * size + i) * 3 + 3));
  const note = `baked from ${count} light${count == 1 ? '' : 's'} and the ambient, ${size}×${size}.`;
  return setImage('light', bytes, note, undefined, bake) ? run() : null;
}

// A panel's image from now on (null: left out), its input cleared; only a later
// action on the panel overtakes it. `action` is that of the caller, if it took
// one; `bake`, the bake it was made from (any other image replaces the bake).
function setImage(which, bytes, note, action = ++state.images[which].action, bake = null) {
  if (action != state.images[which].action) return false;
  if (which == 'light' && !bake && state.bake) {
    state.bake = null;
    keepAddress();
  }
  if (state.images[which].bytes !== bytes) {
    ++state.pair;
    state.pairChanged?.();
  }
  Object.assign(state.images[which], { bytes, note, bake });
  $(`${which}-file`).value = '';
  say(`${which}-message`, '');
  if (state.started) showPanels([which]);
  return true;
}

// A visitor's image, converted; a refused one changes nothing and leaves the
// input empty again, and one overtaken by a later action on its panel is dropped.
async function choose(which, file) {
  const action = ++state.images[which].action;
  say(`${which}-message`, '');
  try {
    const converted = await convert(file, sizeOf(which));
    if (setImage(which, converted.bytes, converted.note, action)) run();
  } catch (error) {
    if (action != state.images[which].action) return;
    $(`${which}-file`).value = '';
    say(`${which}-message`, error.message);
  }
}

const leftOut = which => `Left out: the program runs without ${fileOf(which)}, as it would with the file missing.`;
const demoNote = which => `The demo's own ${fileOf(which)}.`;

function wire(which) {
  const panel = $(`${which}-panel`), input = $(`${which}-file`);
  input.addEventListener('change', () => { if (input.files[0]) choose(which, input.files[0]); });
  $(`${which}-none`).addEventListener('click', () => { if (setImage(which, null, leftOut(which))) run(); });
  panel.addEventListener('dragover', event => { event.preventDefault(); panel.classList.add('dropping'); });
  panel.addEventListener('dragleave', () => panel.classList.remove('dropping'));
  panel.addEventListener('drop', event => {
    event.preventDefault();
    panel.classList.remove('dropping');
    if (event.dataTransfer.files[0]) choose(which, event.dataTransfer.files[0]);
  });
}

// The demo's images, fetched from the first moment (index.html preloads them),
// for each panel no action has changed yet; rejects with what went wrong.
async function demoImages() {
  const bytes = await Promise.all(panels().map(async which => new Uint8Array(await (await fetchOk(fileOf(which))).arrayBuffer())));
  panels().forEach((which, n) => {
    state.images[which].demo = bytes[n];
    if (!state.images[which].action) Object.assign(state.images[which], { bytes: bytes[n] });
  });
}

// Everything is wired at once, so that an action while the program loads
// counts. The program runs first, as written on the demo's images unless the
// address says otherwise; a bake in the address follows its first frame, which
// gives the range and size to bake at; the switches are built once that frame is
// on screen (or it failed, or a second has gone by).
function start() {
  for (const which of panels()) {
    state.images[which] = { bytes: null, note: demoNote(which), action: 0, demo: null };
    wire(which);
  }
  const { bake, notes } = bakeFromHash(location.hash);
  Object.assign(state, { choices: fromHash(location.hash), bake, demo: demoImages() });
  say('bake-message', notes.length ? `From the address: ${notes.join('; ')}.` : '');
  state.demo.catch(() => {}); // said by the run that needs them
  $('as-written').addEventListener('click', () => switchTo(fromHash('')));
  window.addEventListener('hashchange', fromAddress);
  $('bake').addEventListener('bakechange', rebake);
  $('reset').addEventListener('click', () => state.demo.then(() => {
    for (const which of panels()) setImage(which, state.images[which].demo, demoNote(which));
    run();
  }, () => {}));
  state.pair = 1;
  const first = run();
  first.then(() => state.bake && !state.images.light.bake && bakeNow());
  Promise.race([first, new Promise(resolve => setTimeout(resolve, 1000))]).then(() => {
    buildSwitches($('what-if'), switchTo); // disabled with the fieldset where there is no WebGL
    showSwitches(state.choices, state.shown && state.shown.counts, meantNow());
    if (!state.started) showPanels();
  });
}

start();
