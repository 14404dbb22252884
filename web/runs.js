// The program's runs. Each is the real program (createLightmap, lightmap.js)
// from start-up on the current pair of images, a new instance on a new canvas,
// its GL calls recorded as it makes them (calls.js) and changed as "What if"
// (whatif.js) says; where any is changed, the program as written runs first,
// unseen, on the same images, for what the switches change and the difference.
// Only the latest run counts, and every run it overtakes lets go of its context.
// What a run shows (view.js) loads after the first frame.
//
// For the tests and the benchmark, window.lightmap holds `runs` (started),
// `started` (the current run's main has returned), `frames` (the current run's
// frames drawn), `program` (its Emscripten instance) and `record` (its calls).
import { letGo, loadProgram, recorder, startProgram } from './program.js';
import { rangeOf, replay } from './glstate.js';
import { asWritten, changedText, changer, meantBy, showSwitches } from './whatif.js';
import { $, fileOf, panelNames, say, sizeOf } from './dom.js';
import { state } from './state.js';

// What explains a run loads once the program's first frame is on screen, so
// that nothing of it stands in that frame's way.
export const explained = () => state.view || (state.view = import('./view.js').then(view => {
  view.wireProbe();
  return view;
}, error => {
  say('status', `The page could not load its scripts: ${error.message}`);
  return new Promise(() => {});
}));

const loaded = loadProgram(), panels = () => panelNames(), lightFile = () => fileOf('light');
window.lightmap = { runs: 0, started: false, frames: 0, program: null };

// The files of a run, once the demo's images are in: the program starts meanwhile.
const filesNow = () => state.demo.then(() => Object.fromEntries(panels().map(which => [fileOf(which), state.images[which].bytes])));
export const meantNow = () => state.reference && state.reference.pair == state.pair ? meantBy(state.reference.model, lightFile()) : null;

// Keeps the program as written's frame on `pair` (only ever a run as written),
// the sizes its uploads had, and unit 0's range over the square, which a bake
// maps its texels through.
function keep(pair, record, canvas) {
  const model = replay(record.startup, record.frame, canvas.width, canvas.height);
  for (const which of panels()) {
    const texture = [...model.textures.values()].find(texture => texture.file == fileOf(which));
    if (texture) state.sizes[which] = texture.width;
  }
  state.range = rangeOf(model, 0) || state.range;
  if (pair == state.pair) state.reference = { pair, pixels: record.pixels, model };
  return state.reference;
}

// The program as written on the current pair, on a canvas of its own that is
// never shown, for the difference and for what "What if" changes; kept until the
// pair changes, and shared by every run on the pair while it comes. It waits for
// its frame however long the browser holds it back (a tab in the background
// draws none), until the pair changes. Null if it failed (the run that shows it
// says why) or the pair changed first.
function reference() {
  if (state.reference && state.reference.pair == state.pair) return Promise.resolve(state.reference);
  if (state.pending && state.pending.pair == state.pair) return state.pending.promise;
  const pair = state.pair, canvas = $('canvas').cloneNode(false), current = () => pair == state.pair;
  const gone = new Promise(resolve => { state.pairChanged = resolve; });
  let framed;
  const frame = new Promise(resolve => { framed = resolve; });
  const promise = (async () => {
    let program = null;
    try {
      program = await startProgram(loaded, { canvas, files: filesNow(), print: () => {}, current },
                                   recorder(canvas, record => framed(record.read())));
      const record = program && await Promise.race([frame, gone]);
      return record && current() ? keep(pair, record, canvas) : null;
    } catch {
      return null;
    } finally {
      letGo(program);
    }
  })();
  state.pending = { pair, promise };
  return promise;
}

// The run's canvas in place of the one on screen, whose instance (if another's)
// is let go; a keyboard's probe stays on the picture.
function putOnScreen(canvas, program) {
  const old = $('canvas'), focused = document.activeElement == old;
  if (state.onScreen != program) letGo(state.onScreen);
  state.onScreen = program;
  old.replaceWith(canvas);
  if (focused) canvas.focus();
}

// The program from start-up on the current pair, on a fresh canvas and so a
// fresh WebGL context, its calls changed as the switches say. Its canvas takes
// the place of the one on screen at its first frame (or when it fails), so the
// picture never goes blank between runs; a run overtaken before it drew lets its
// context go. Resolves once its first frame is drawn, or it failed; what explains
// the frame follows it (view.js present).
export async function run() {
  if (state.noWebgl) return;
  const thisRun = ++state.runs, page = window.lightmap, current = () => thisRun == state.runs;
  const choices = state.choices, pair = state.pair;
  if (page.program != state.onScreen) letGo(page.program);
  Object.assign(page, { runs: thisRun, started: false, frames: 0, program: null });
  const as = asWritten(choices) ? null : await reference();
  if (!current()) return;
  // Off the page until its first frame, in a holder of its own: GLUT takes a
  // canvas whose parent is the fullscreen element (none, for no parent) for full screen.
  const canvas = $('canvas').cloneNode(false);
  document.createElement('div').append(canvas);
  canvas.addEventListener('webglcontextlost', event => {
    if (!canvas.isConnected || state.lettingGo.has(canvas)) return; // let go on purpose
    event.preventDefault(); // so that the browser may restore it
    say('status', 'The WebGL context was lost. The picture comes back when the browser restores it.');
  });
  canvas.addEventListener('webglcontextrestored', () => {
    if (canvas.isConnected) run();
  });
  say('status', '');
  $('output').value = '';
  const print = text => { $('output').value += text + '\n'; };
  let drawn;
  const firstFrame = new Promise(resolve => { drawn = resolve; });
  const change = changer(choices, as && meantBy(as.model, lightFile()));
  const recordCall = recorder(canvas, record => {
    if (!current()) return;
    const first = !canvas.isConnected;
    if (first) putOnScreen(canvas, page.program);
    drawn();
    if (first && (state.bakeAgain || state.dragging)) return; // another run replaces this frame: nothing to explain
    record.read();
    if (first && asWritten(choices)) keep(pair, record, canvas);
    explained().then(({ present }) => {
      if (!current()) return;
      present(record, canvas, { reference: as && as.pixels, counts: change.counts });
      const changed = changedText(choices, change.counts);
      showSwitches(choices, change.counts, meantNow());
      say('result-changed', changed ? `Its calls changed by What if: ${changed}.` : 'As written: What if changes none of its calls.');
      $('result-changed').classList.toggle('changed', !!changed);
      if (!state.started) showPanels();
      page.frames += 1;
      page.record = record;
    });
  });
  const onCall = (call, when) => {
    if (when == 'before') change.before(call);
    recordCall(call, when);
  };
  try {
    const program = await startProgram(loaded, { canvas, files: filesNow(), print, current }, onCall);
    if (!current()) return letGo(program);
    Object.assign(page, { started: true, program });
    return firstFrame;
  } catch (error) {
    if (!current()) return;
    if (webglMissing()) return sayWebglMissing();
    putOnScreen(canvas, null);
    say('status', `The program could not run: ${error.message || error}`);
  }
}

// The panels as the state has them; before the first frame they wait for it.
export function showPanels(only = panels()) {
  state.started = true;
  explained().then(({ showImage }) => {
    for (const which of only) showImage(which, state.images[which].bytes, state.images[which].note, sizeOf(which));
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
  state.noWebgl = true;
  for (const control of document.querySelectorAll('input, button, select, fieldset')) control.disabled = true;
  $('canvas').replaceWith(Object.assign(document.createElement('p'), {
    id: 'no-webgl',
    textContent: 'This page needs WebGL, which this browser does not offer or has turned off.',
  }));
}

