// One instance of the program: its script and module, loaded once and compiled
// while they download, then started on a canvas with its image files in place
// and each of its GL calls handed out as it makes it (calls.js), each upload with
// the name of the file it was read from.
import { recordImports } from './calls.js';
import { state } from './state.js';

export async function fetchOk(name) {
  const response = await fetch(name).catch(() => null);
  if (!response || !response.ok) {
    throw new Error(`Could not load ${name}${response ? ` (HTTP ${response.status})` : ''}.`);
  }
  return response;
}

// lightmap.js (createLightmap), which index.html has the browser fetch from the
// first moment.
function programScript() {
  return new Promise((resolve, reject) => {
    const script = Object.assign(document.createElement('script'), { src: 'lightmap.js' });
    script.onload = resolve;
    script.onerror = () => reject(new Error('Could not load lightmap.js.'));
    document.head.append(script);
  });
}

// A server that does not call lightmap.wasm application/wasm gets the plain way.
async function compileProgram() {
  const response = await fetchOk('lightmap.wasm');
  try {
    return await WebAssembly.compileStreaming(response.clone());
  } catch (error) {
    if (!(error instanceof TypeError)) throw error;
    return WebAssembly.compile(await response.arrayBuffer());
  }
}

// The script (createLightmap) and the compiled module, both at once; a failure
// waits for the run that needs them.
export function loadProgram() {
  const loaded = { script: programScript(), wasm: compileProgram() };
  for (const promise of Object.values(loaded)) promise.catch(() => {});
  return loaded;
}

// The calls of a run as `onFrame` gets them: start-up's up to glutMainLoop, then
// the latest frame's up to its glFlush. `record.read()` reads the frame's pixels
// back into `record.pixels`, and returns the record: only in `onFrame` itself,
// before the browser may clear the canvas for the next frame.
export function recorder(canvas, onFrame) {
  const record = { startup: [], frame: [], next: null, pixels: null };
  record.read = () => {
    const gl = canvas.getContext('webgl');
    record.pixels = new Uint8Array(canvas.width * canvas.height * 4);
    gl.readPixels(0, 0, canvas.width, canvas.height, gl.RGBA, gl.UNSIGNED_BYTE, record.pixels);
    return record;
  };
  return (call, when) => {
    if (when == 'before') {
      (record.next || record.startup).push(call);
      if (call.name == 'glutMainLoop') record.next = []; // it never returns
    } else if (call.name == 'glFlush' && record.next) {
      [record.frame, record.next] = [record.next, []];
      record.pixels = null;
      onFrame(record);
    }
  };
}

// GLUT's clean-up never runs here (the runtime never exits), so what an
// instance's glutInit and glutCreateWindow add to window and document is noted
// as they run, and taken away again when it is let go, with its context: then
// nothing outside the instance holds it.
const addListener = EventTarget.prototype.addEventListener;
function noteListeners(into) {
  EventTarget.prototype.addEventListener = function (...args) {
    into.push([this, ...args]);
    return addListener.apply(this, args);
  };
}
const noted = ['glutInit', 'glutCreateWindow'];

// The context of an instance let go is lost on purpose: state.lettingGo notes
// its canvas, since the context lost event may come at once.
export function letGo(program) {
  for (const [target, ...args] of program?.lightmapListeners || []) target.removeEventListener(...args);
  if (program?.ctx) state.lettingGo.add(program.ctx.canvas);
  program?.ctx?.getExtension('WEBGL_lose_context')?.loseContext();
}

// Starts an instance on `canvas` with `files` (a promise of { name: bytes }) in
// its working directory and its standard output to `print`, unless no longer
// `current()` once its script is there (null). `loaded` is loadProgram's.
// Resolves once its main has returned; rejects with whatever stopped it: a
// module that does not load or instantiate, an exception or abort in the program.
export async function startProgram(loaded, { canvas, files, print, current }, onCall) {
  await loaded.script;
  if (!current()) return null;
  let memory = null, opened = null;
  const listeners = [];
  // Which file each upload came from: the last one the program opened before it.
  const recordFile = (call, when) => {
    if (call.name == 'glTexImage2D' && when == 'after') [call.file, opened] = [opened, null];
    if (noted.includes(call.name)) {
      if (when == 'before') noteListeners(listeners);
      else EventTarget.prototype.addEventListener = addListener;
    }
    onCall(call, when);
  };
  return new Promise((resolve, reject) => {
    // What the instance adds to window and document, and its context, are let
    // go when it fails to start: nothing else holds them then.
    const fail = error => {
      letGo(module);
      reject(error);
    };
    const module = {
      canvas,
      print,
      lightmapListeners: listeners,
      // The emulation writes notices to standard error: warnings, so that a
      // console error on this page is always a fault.
      printErr: text => console.warn(text),
      // main waits for the files, which may still be on their way; then it runs
      // here, and what it throws lands in `fail`.
      preRun: [runtime => {
        runtime.addRunDependency('lightmap-files');
        files.then(given => {
          for (const [name, bytes] of Object.entries(given)) if (bytes) runtime.FS.writeFile(name, bytes);
          const open = runtime.FS.open;
          runtime.FS.open = function (path, ...rest) {
            const stream = open.call(this, path, ...rest);
            opened = String(path).replace(/^.*\//, '');
            return stream;
          };
          runtime.removeRunDependency('lightmap-files');
        }).catch(fail);
      }],
      postRun: [() => resolve(module)], // main has returned
      onAbort: what => fail(new Error(what)),
      // The runtime sets itself up while the module compiles; main runs inside
      // `receive` (or in preRun's wait for the files): what it throws lands in `fail`.
      instantiateWasm(imports, receive) {
        let compiled;
        loaded.wasm.then(wasm => {
          compiled = wasm;
          return WebAssembly.instantiate(wasm, recordImports(imports, () => memory, recordFile));
        }).then(instance => {
          memory = Object.values(instance.exports).find(value => value instanceof WebAssembly.Memory);
          receive(instance, compiled);
        }).catch(fail);
        return {};
      },
    };
    createLightmap(module).catch(fail);
  });
}
