// The page around the web build. It runs the real program (createLightmap,
// lightmap.js) from start-up on the images the visitor chose, each run a new
// instance on a new canvas, and records the program's GL calls as it makes them
// (calls.js). What it shows comes from that: the calls themselves, where the
// light map lands, and what GL sampled at the pixel under the pointer (probe.js).
// Every failure becomes a message in words, never a blank canvas.
//
// For the tests and the benchmark, window.lightmap holds `runs` (started),
// `started` (the current run's main has returned), `frames` (the current run's
// frames drawn) and `program` (its Emscripten instance).
import { recordImports } from './calls.js';
import { convert } from './images.js';
import { present, showImage, wireProbe } from './view.js';

const sizes = { light: 32, wall: 256 };
const state = { images: {}, demo: {}, notes: {}, runs: 0 };
window.lightmap = { runs: 0, started: false, frames: 0, program: null };

const $ = id => document.getElementById(id);
const say = (where, text) => { $(where).textContent = text; };

function loadScript(src) {
  return new Promise((resolve, reject) => {
    const script = Object.assign(document.createElement('script'), { src });
    script.onload = resolve;
    script.onerror = () => reject(new Error(`Could not load ${src}.`));
    document.head.append(script);
  });
}

async function fetchOk(name) {
  const response = await fetch(name).catch(() => null);
  if (!response || !response.ok) {
    throw new Error(`Could not load ${name}${response ? ` (HTTP ${response.status})` : ''}.`);
  }
  return response;
}

// Compiled while it downloads; a server that does not call it application/wasm
// gets the plain way.
async function compileProgram() {
  const response = await fetchOk('lightmap.wasm');
  try {
    return await WebAssembly.compileStreaming(response.clone());
  } catch (error) {
    if (!(error instanceof TypeError)) throw error;
    return WebAssembly.compile(await response.arrayBuffer());
  }
}

const letGo = program => program?.ctx?.getExtension('WEBGL_lose_context')?.loseContext();

// Starts one instance on `canvas`; resolves once its main has returned, rejects
// with whatever stopped it (a module that does not load or instantiate, an
// exception or abort in the program), and hands each call to `onCall`.
async function startProgram(canvas, onCall, current) {
  const [wasm] = await Promise.all([state.wasm, state.script]);
  if (!current()) return null; // overtaken while loading: nothing to start
  const files = { 'light.bmp': state.images.light, 'wall.bmp': state.images.wall };
  let memory = null;
  return new Promise((resolve, reject) => {
    const program = createLightmap({
      canvas,
      print: text => { $('output').value += text + '\n'; },
      // The emulation writes notices to standard error: warnings, so that a
      // console error on this page is always a fault.
      printErr: text => console.warn(text),
      preRun: [module => {
        for (const [name, bytes] of Object.entries(files)) if (bytes) module.FS.writeFile(name, bytes);
      }],
      // main runs inside `receive`: what it throws lands in this promise's catch.
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(wasm, recordImports(imports, () => memory, onCall)).then(instance => {
          memory = Object.values(instance.exports).find(value => value instanceof WebAssembly.Memory);
          receive(instance, wasm);
          program.then(resolve);
        }).catch(reject);
        return {};
      },
      onAbort: what => reject(new Error(what)),
    });
    program.catch(reject);
  });
}

// The program from start-up on the current pair, on a fresh canvas and so a
// fresh WebGL context; the one before, and any run overtaken before it started,
// lets its context go.
async function run() {
  const thisRun = ++state.runs, page = window.lightmap, old = $('canvas');
  const canvas = old.cloneNode(false), focused = document.activeElement == old;
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
  const record = { startup: [], frame: [], next: null };
  const current = () => thisRun == state.runs;
  try {
    const program = await startProgram(canvas, (call, when) => {
      if (when == 'before') {
        (record.next || record.startup).push(call);
        if (call.name == 'glutMainLoop') record.next = []; // it never returns
        return;
      }
      if (call.name != 'glFlush' || !record.next) return;
      [record.frame, record.next] = [record.next, []];
      const gl = canvas.getContext('webgl');
      record.pixels = new Uint8Array(canvas.width * canvas.height * 4);
      gl.readPixels(0, 0, canvas.width, canvas.height, gl.RGBA, gl.UNSIGNED_BYTE, record.pixels);
      if (!current()) return;
      page.frames += 1;
      present(record, canvas);
    }, current);
    if (!current()) return letGo(program);
    Object.assign(page, { started: true, program });
  } catch (error) {
    if (!current()) return;
    if (webglMissing()) return sayWebglMissing();
    say('status', `The program could not run: ${error.message || error}`);
  }
}

// A visitor's image, converted; a refused one changes nothing and leaves the
// input empty again.
async function choose(which, file) {
  say(`${which}-message`, '');
  try {
    ({ bytes: state.images[which], note: state.notes[which] } = await convert(file, sizes[which]));
  } catch (error) {
    $(`${which}-file`).value = '';
    return say(`${which}-message`, error.message);
  }
  showImage(which, state.images[which], state.notes[which]);
  run();
}

// The panel back to `bytes` (the demo's, or null: left out), its input cleared.
function restore(which, bytes) {
  state.images[which] = bytes;
  $(`${which}-file`).value = '';
  say(`${which}-message`, '');
  showImage(which, bytes, bytes ? `The demo's own ${which}.bmp.`
    : `Left out: the program runs without ${which}.bmp, as it would with the file missing.`);
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

async function start() {
  try {
    await Promise.all(['light', 'wall'].map(async which => {
      const response = await fetchOk(`${which}.bmp`);
      state.demo[which] = new Uint8Array(await response.arrayBuffer());
    }));
  } catch (error) {
    return say('status', error.message);
  }
  for (const which of ['light', 'wall']) {
    wire(which);
    restore(which, state.demo[which]);
  }
  $('reset').addEventListener('click', () => {
    for (const which of ['light', 'wall']) restore(which, state.demo[which]);
    run();
  });
  wireProbe();
  run();
}

// All at once, first thing (index.html has the browser fetch them already): the
// program's script, its module (compiled as it arrives) and the demo's images.
state.script = loadScript('lightmap.js');
state.wasm = compileProgram();
for (const promise of [state.script, state.wasm]) promise.catch(() => {}); // each run awaits them
start();
