// The program's GL and GLUT calls, recorded where every one of them passes: the
// WebAssembly module's imports. Each imported function keeps its JS name even in
// an optimised build (the import's key is minified, the function is not), and the
// two extension entry points are JS functions named lightmap_glActiveTextureARB
// and lightmap_glMultiTexCoord2fARB (glext/procaddress_web.js), so every call is
// recorded under the name the program asked for.
import { channelsOf, glName } from './gl.js';

// One letter per argument: e an enum (F: passed as a float), i an integer, f a
// float, d a double, s a string, p a pointer, n the names glGenTextures wrote,
// m GLUT's display mode.
const signatures = {
  glutInit: 'pp', glutInitDisplayMode: 'm', glutInitWindowSize: 'ii', glutInitWindowPosition: 'ii',
  glutCreateWindow: 's', glutDisplayFunc: 'p', glutMainLoop: '', glGetString: 'e',
  glClearColor: 'ffff', glMatrixMode: 'e', glLoadIdentity: '', glOrtho: 'dddddd',
  glGenTextures: 'in', glBindTexture: 'ei', glTexParameteri: 'eee', glTexImage2D: 'eieiiieep',
  glDeleteTextures: 'ip', glClear: 'e', glActiveTextureARB: 'e', glTexEnvf: 'eeF', glEnable: 'e',
  glDisable: 'e', glBegin: 'e', glMultiTexCoord2fARB: 'eff', glVertex3f: 'fff', glEnd: '',
  glFlush: '',
};

// The shortest decimal that is the same single-precision float, as C writes it.
export function shortFloat(value) {
  for (let digits = 1; digits < 10; ++digits) {
    const shorter = Number(value.toPrecision(digits));
    if (Math.fround(shorter) == value) return String(shorter);
  }
  return String(value);
}

function argument(kind, value, call) {
  switch (kind) {
    case 'e': case 'F': return glName(value);
    case 'f': return shortFloat(value);
    case 's': return JSON.stringify(call.text);
    case 'p': return '…';
    case 'n': return `{${call.names.join(', ')}}`;
    case 'm': return value == 0 ? 'GLUT_RGB | GLUT_SINGLE' : String(value);
    default: return String(value);
  }
}

// One call as C would write it; an argument the page changed ("What if") as
// the program's, an arrow, and what GL got.
export function format(call) {
  const kinds = signatures[call.name] || '';
  return `${call.name}(${call.args.map((value, i) => {
    const written = argument(kinds[i], value, call);
    return call.sent && call.sent[i] !== value ? `${written} → ${argument(kinds[i], call.sent[i], call)}` : written;
  }).join(', ')})`;
}

// `imports` with every GL and GLUT function wrapped to hand `onCall` the call
// before it runs and after it (glutMainLoop never returns: it throws); the
// wrapper fills in what the call wrote, read through `memory()`, the instance's
// memory once it exists. Before it runs, `onCall` may set `call.sent`, the
// arguments GL gets in place of the program's `call.args`, or `call.skipped`:
// then GL never sees it (only calls that return nothing).
export function recordImports(imports, memory, onCall) {
  const recorded = {};
  for (const [module, functions] of Object.entries(imports)) {
    recorded[module] = { ...functions };
    for (const [key, real] of Object.entries(functions)) {
      const name = typeof real == 'function' && real.name.replace(/^_(lightmap_|emscripten_)?/, '');
      if (!name || !/^glu?t?[A-Z]/.test(name)) continue;
      recorded[module][key] = function (...args) {
        const call = { name, args };
        if (name == 'glutCreateWindow') call.text = cString(memory(), args[0]);
        onCall(call, 'before');
        try {
          if (call.skipped) return undefined;
          const result = real.apply(this, call.sent || args);
          if (name == 'glGenTextures') call.names = [...new Uint32Array(memory().buffer, args[1], args[0])];
          if (name == 'glTexImage2D' && args[8]) { // rows of whole texels, no padding at these sizes
            const bytes = args[3] * args[4] * channelsOf(args[6]);
            call.texels = new Uint8Array(memory().buffer, args[8], bytes).slice();
          }
          return result;
        } finally {
          onCall(call, 'after'); // also when it throws (glutMainLoop always does)
        }
      };
    }
  }
  return recorded;
}

function cString(memory, pointer) {
  const bytes = new Uint8Array(memory.buffer, pointer);
  return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
}
