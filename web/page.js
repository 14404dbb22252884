// The page around the web build: the visitor's actions (an image chosen,
// dropped or left out, Reset, the "What if" switches and the address) become
// the state (state.js) and a fresh run of the program (runs.js), and what the
// page shows follows that run. Every failure, while the program starts or while
// it draws, becomes a message in words, never a blank canvas.
import { convert } from './images.js';
import { fetchOk } from './program.js';
import { buildSwitches, fromHash, showSwitches, toHash } from './whatif.js';
import { meantNow, run, showPanels, sizeOf } from './runs.js';
import { $, fileOf, panelNames, say } from './dom.js';
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

// The switches from the address or a select, shown and kept in the address
// (replaced, not pushed: the back button leaves the page), then a fresh run.
function switchTo(choices, fromAddress = false) {
  state.choices = choices;
  showSwitches(choices, null, meantNow());
  if (!fromAddress) history.replaceState(null, '', location.pathname + location.search + toHash(choices));
  run();
}

// A panel's image from now on (null: left out), its input cleared; only a later
// action on the panel overtakes it. `action` is that of the caller, if it took one.
function setImage(which, bytes, note, action = ++state.images[which].action) {
  if (action != state.images[which].action) return false;
  if (state.images[which].bytes !== bytes) {
    ++state.pair;
    state.pairChanged?.();
  }
  Object.assign(state.images[which], { bytes, note });
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

// Everything is wired at once, so that an action while the program loads counts; the program runs first, and the switches are built
// once its first frame is on screen (or it failed, or a second has gone by).
function start() {
  for (const which of panels()) {
    state.images[which] = { bytes: null, note: demoNote(which), action: 0, demo: null };
    wire(which);
  }
  state.choices = fromHash(location.hash);
  state.demo = demoImages();
  state.demo.catch(() => {}); // said by the run that needs them
  $('as-written').addEventListener('click', () => switchTo(fromHash('')));
  window.addEventListener('hashchange', () => switchTo(fromHash(location.hash), true));
  $('reset').addEventListener('click', () => state.demo.then(() => {
    for (const which of panels()) setImage(which, state.images[which].demo, demoNote(which));
    run();
  }, () => {}));
  state.pair = 1;
  Promise.race([run(), new Promise(resolve => setTimeout(resolve, 1000))]).then(() => {
    buildSwitches($('what-if'), switchTo); // disabled with the fieldset where there is no WebGL
    showSwitches(state.choices, state.shown && state.shown.counts, meantNow());
    if (!state.started) showPanels();
  });
}

start();
