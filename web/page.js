// The page around the web build. It runs the real program (createLightmap,
// lightmap.js) from start-up on the images the visitor chose, each run a new
// instance on a new canvas, and records the program's GL calls as it makes them
// (calls.js). What it shows comes from that, through one model of GL's state
// (view.js and glstate.js): the calls one at a time, the texture units, and how
// GL made the pixel under the pointer. "What if" (whatif.js) changes some of
// the calls as they reach GL; the page then also runs the program as written,
// unseen, for the difference. Every failure, while the program starts or while
// it draws, becomes a message in words, never a blank canvas.
//
// For the tests and the benchmark, window.lightmap holds `runs` (started),
// `started` (the current run's main has returned), `frames` (the current run's
// frames drawn) and `program` (its Emscripten instance).
import { convert } from './images.js';
import { fetchOk, letGo, loadProgram, recorder, startProgram } from './program.js';
import { asWritten, buildSwitches, changedText, changer, fromHash, rangeOf, showSwitches, toHash } from './whatif.js';
// What explains a run loads beside the program's first run, not before it.
const view = import('./view.js');
view.catch(error => say('status', `The page could not load its scripts: ${error.message}`));

const sizes = { light: 32, wall: 256 };
// `actions` numbers each panel's choices, so that only the last one counts;
// `pair` numbers the pairs of images, and `reference` is the program as
// written on one of them: its pixels and unit 0's coordinates (whatif.js);
// `choices` are the "What if" switches, as the address holds them, and `counts`
// the calls each changed in the run on screen.
const state = { images: {}, demo: {}, runs: 0, actions: { light: 0, wall: 0 }, loaded: loadProgram(),
                pair: 0, reference: null, choices: fromHash(location.hash) };
window.lightmap = { runs: 0, started: false, frames: 0, program: null };

const $ = id => document.getElementById(id);
const say = (where, text) => { $(where).textContent = text; };

// What the program throws or aborts with once it runs (GLUT draws each frame in
// an animation frame, after the run's start has resolved), in its own words.
window.addEventListener('error', event => say('status', `The program stopped: ${event.message}`));

const filesNow = () => ({ 'light.bmp': state.images.light, 'wall.bmp': state.images.wall });
const keep = (pair, record) => (state.reference = { pair, pixels: record.pixels, range: rangeOf(record.frame) });

// The program as written on the current pair, on a canvas of its own that is
// never shown, for the difference; kept until the pair changes. Null if it
// failed (the run that shows it says why) or no longer `current()`.
async function reference(current) {
  if (state.reference && state.reference.pair == state.pair) return state.reference;
  const pair = state.pair, canvas = $('canvas').cloneNode(false);
  let program = null, framed;
  const frame = new Promise(resolve => { framed = resolve; });
  try {
    program = await startProgram(state.loaded, { canvas, files: filesNow(), print: () => {}, current },
                                 recorder(canvas, framed));
    const record = program && await Promise.race([frame, new Promise(resolve => setTimeout(resolve, 2000))]);
    return record && current() ? keep(pair, record) : null;
  } catch {
    return null;
  } finally {
    letGo(program);
  }
}

// The program from start-up on the current pair, on a fresh canvas and so a
// fresh WebGL context, its calls changed as the switches say; the one before,
// and any run overtaken before it started, lets its context go. Resolves once
// its first frame is shown, or it failed.
async function run() {
  const thisRun = ++state.runs, page = window.lightmap, current = () => thisRun == state.runs;
  const choices = state.choices, pair = state.pair;
  const as = asWritten(choices) ? null : await reference(current);
  if (!current()) return;
  const old = $('canvas'), canvas = old.cloneNode(false), focused = document.activeElement == old;
  letGo(page.program);
  Object.assign(page, { runs: thisRun, started: false, frames: 0, program: null });
  old.replaceWith(canvas);
  if (focused) canvas.focus(); // a keyboard's probe stays on the picture
  canvas.addEventListener('webglcontextlost', event => {
    if (!canvas.isConnected) return; // let go on purpose
    event.preventDefault(); // so that the browser may restore it
    say('status', 'The WebGL context was lost. The picture comes back when the browser restores it.');
  });
  canvas.addEventListener('webglcontextrestored', () => {
    if (canvas.isConnected) run();
  });
  say('status', '');
  $('output').value = '';
  const print = text => { $('output').value += text + '\n'; };
  let shown;
  const firstFrame = new Promise(resolve => { shown = resolve; });
  const change = changer(choices, as && as.range);
  const recordCall = recorder(canvas, record => {
    if (!as && !page.frames) keep(pair, record);
    view.then(({ present }) => {
      if (!current()) return;
      const changed = changedText(choices);
      present(record, canvas, { reference: as && as.pixels, changed: !!changed });
      state.counts = change.counts;
      showSwitches(choices, change.counts);
      say('result-changed', changed ? `Its calls changed by What if: ${changed}.` : '');
      $('result-changed').hidden = !changed; // below the picture, which stays where it is
      page.frames += 1;
      shown();
    });
  });
  const onCall = (call, when) => {
    if (when == 'before') change.before(call);
    recordCall(call, when);
  };
  try {
    const program = await startProgram(state.loaded, { canvas, files: filesNow(), print, current }, onCall);
    if (!current()) return letGo(program);
    Object.assign(page, { started: true, program });
    return firstFrame;
  } catch (error) {
    if (!current()) return;
    if (webglMissing()) return sayWebglMissing();
    say('status', `The program could not run: ${error.message || error}`);
  }
}

// The switches from the address or a select, shown and kept in the address
// (replaced, not pushed: the back button leaves the page), then a fresh run.
function switchTo(choices, fromAddress = false) {
  state.choices = choices;
  showSwitches(choices);
  if (!fromAddress) history.replaceState(null, '', location.pathname + location.search + toHash(choices));
  if (state.pair) run(); // else the first run, once the demo's images are in, takes them
}

// A visitor's image, converted; a refused one changes nothing and leaves the
// input empty again, and one overtaken by a later action on its panel is dropped.
async function choose(which, file) {
  const action = ++state.actions[which];
  say(`${which}-message`, '');
  let converted;
  try {
    converted = await convert(file, sizes[which]);
  } catch (error) {
    if (action != state.actions[which]) return;
    $(`${which}-file`).value = '';
    return say(`${which}-message`, error.message);
  }
  if (action != state.actions[which]) return; // a later choice, "Leave out" or Reset won
  state.images[which] = converted.bytes;
  ++state.pair;
  (await view).showImage(which, converted.bytes, converted.note);
  run();
}

// The panel back to `bytes` (the demo's, or null: left out), its input cleared.
function restore(which, bytes) {
  ++state.actions[which];
  if (state.images[which] != bytes) ++state.pair;
  state.images[which] = bytes;
  $(`${which}-file`).value = '';
  say(`${which}-message`, '');
  view.then(({ showImage }) => showImage(which, bytes, bytes ? `The demo's own ${which}.bmp.`
    : `Left out: the program runs without ${which}.bmp, as it would with the file missing.`));
}

function wire(which) {
  const panel = $(`${which}-panel`), input = $(`${which}-file`);
  input.addEventListener('change', () => { if (input.files[0]) choose(which, input.files[0]); });
  $(`${which}-none`).addEventListener('click', () => { restore(which, null); run(); });
  panel.addEventListener('dragover', event => { event.preventDefault(); panel.classList.add('dropping'); });
  panel.addEventListener('dragleave', () => panel.classList.remove('dropping'));
  panel.addEventListener('drop', event => {
    event.preventDefault();
    panel.classList.remove('dropping');
    if (event.dataTransfer.files[0]) choose(which, event.dataTransfer.files[0]);
  });
}

function webglMissing() {
  const probe = document.createElement('canvas').getContext('webgl');
  letGo({ ctx: probe });
  return !probe;
}

// In place of the canvas, where the browser has no WebGL; asked only once a
// run has failed, since making a context to ask costs the first frame time.
function sayWebglMissing() {
  for (const control of document.querySelectorAll('input, button')) control.disabled = true;
  $('canvas').replaceWith(Object.assign(document.createElement('p'), {
    id: 'no-webgl',
    textContent: 'This page needs WebGL, which this browser does not offer or has turned off.',
  }));
}

// The demo's images; the program itself is already loading (state.loaded), and
// index.html has had the browser fetch all of them from the first moment.
async function start() {
  try {
    await Promise.all(['light', 'wall'].map(async which => {
      const response = await fetchOk(`${which}.bmp`);
      state.demo[which] = new Uint8Array(await response.arrayBuffer());
    }));
  } catch (error) {
    return say('status', error.message);
  }
  for (const which of ['light', 'wall']) wire(which);
  $('as-written').addEventListener('click', () => switchTo(fromHash('')));
  window.addEventListener('hashchange', () => switchTo(fromHash(location.hash), true));
  const restoreDemo = () => { for (const which of ['light', 'wall']) restore(which, state.demo[which]); };
  $('reset').addEventListener('click', () => { restoreDemo(); run(); });
  view.then(({ wireProbe }) => wireProbe());
  // The program first; its panels and the switches are drawn once its first
  // frame is on screen (or it failed, or a second has gone by).
  state.images = { ...state.demo };
  ++state.pair;
  Promise.race([run(), new Promise(resolve => setTimeout(resolve, 1000))]).then(() => {
    buildSwitches($('what-if'), switchTo);
    showSwitches(state.choices, state.counts);
    restoreDemo();
  });
}

start();
