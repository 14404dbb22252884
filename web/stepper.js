// The program's calls one at a time: "Start-up" and "Each frame" list every call
// as a button (each list one Tab stop, the arrow keys move along it), and "This
// call" shows the chosen call: what it does in GL, the model's state right after
// it with what it changed marked, and for a glVertex3f its corner on the pictures.
import { format } from './calls.js';
import { unitsOf } from './glstate.js';
import { $, el, line } from './dom.js';
import { marked, unitPart } from './units.js';
import { state } from './state.js';
import { whatItDoes } from './words.js';

// state.calls: `steps`, the model's (glstate.js replay) for the lists on screen;
// `chosen`, { list, index } of the chosen call; `onVertex`, what shows a corner.
const calls = state.calls;

const lists = { startup: 'startup-calls', frame: 'frame-calls' };
const buttonsOf = list => [...$(lists[list]).querySelectorAll('button')];

// A call as the lists show it: as written, with a changed argument's "→" and
// what GL got, or struck through and said in words where GL never got it.
const callText = call => call.skipped
  ? [el('del', {}, el('code', {}, format(call))), el('span', { className: 'skipped' }, ' left out: not passed to GL')]
  : el('code', { className: call.sent ? 'changed' : '' }, format(call));

function fill(list, calls) {
  $(lists[list]).replaceChildren(...calls.map((call, index) => el('li', {},
    el('button', { type: 'button', className: 'call', tabIndex: -1, attrs: { 'data-index': index } }, callText(call)))));
  const buttons = buttonsOf(list);
  if (buttons.length) buttons[0].tabIndex = 0;
}

// The lists anew for a run's model, keeping the chosen call where it still is.
export function showCalls(model, startupChanged) {
  const { chosen } = calls, steps = calls.steps = model.steps;
  if (startupChanged) fill('startup', steps.filter(step => step.list == 'startup').map(step => step.call));
  fill('frame', steps.filter(step => step.list == 'frame').map(step => step.call));
  if (chosen && steps.some(step => step.list == chosen.list && step.index == chosen.index)) choose(chosen.list, chosen.index);
}

function stateView(step) {
  const { state, changed } = step, units = unitsOf(state);
  return el('div', { className: 'state' }, marked(changed, 'active', `active unit: ${state.active}`),
    el('ol', { className: 'chain' }, units.map((unit, n) => unitPart(unit, n, { changed, prefix: 'call', coords: true }))));
}

export function choose(list, index, focus = false) {
  const { steps } = calls, at = steps.findIndex(step => step.list == list && step.index == index);
  if (at < 0) return;
  calls.chosen = { list, index };
  const step = steps[at];
  for (const name of Object.keys(lists)) {
    for (const button of buttonsOf(name)) {
      const here = name == list && Number(button.dataset.index) == index;
      button.tabIndex = here || (name != list && button == buttonsOf(name)[0]) ? 0 : -1;
      if (here) button.setAttribute('aria-current', 'true'); else button.removeAttribute('aria-current');
      if (here && focus) button.focus();
    }
  }
  const { call } = step, does = whatItDoes(call, step.state);
  $('call-now').replaceChildren(el('p', { className: 'line' }, callText(call)),
    el('p', { className: 'does' }, call.skipped
      ? `"What if" left this call out: GL never got it, and nothing changed. As written: ${does}`
      : call.sent ? `"What if" changed it: GL got the argument after the arrow. ${does}` : does),
    el('h3', {}, 'Right after it'), stateView(step));
  $('call-previous').disabled = at == 0;
  $('call-next').disabled = at == steps.length - 1;
  calls.onVertex(step.call.name == 'glVertex3f' ? step.state.vertices[step.state.vertices.length - 1] : null);
}

function stepBy(delta) {
  const { steps, chosen } = calls, at = steps.findIndex(step => chosen && step.list == chosen.list && step.index == chosen.index);
  const next = steps[Math.max(0, Math.min(steps.length - 1, at + delta))];
  if (next) choose(next.list, next.index);
}

// Click, tap and keys on the lists; `vertex` shows a chosen glVertex3f's corner
// (null: none chosen).
export function wireCalls(vertex) {
  calls.onVertex = vertex;
  const keys = { ArrowDown: 1, ArrowRight: 1, ArrowUp: -1, ArrowLeft: -1, Home: -Infinity, End: Infinity };
  for (const list of Object.keys(lists)) {
    const element = $(lists[list]);
    element.addEventListener('click', event => {
      const button = event.target.closest('button.call');
      if (button) choose(list, Number(button.dataset.index));
    });
    element.addEventListener('keydown', event => {
      const button = event.target.closest('button.call'), delta = keys[event.key];
      if (!button || delta === undefined) return;
      event.preventDefault();
      const count = buttonsOf(list).length;
      choose(list, Math.max(0, Math.min(count - 1, Number(button.dataset.index) + delta)), true);
    });
  }
  $('call-previous').addEventListener('click', () => stepBy(-1));
  $('call-next').addEventListener('click', () => stepBy(1));
  $('call-now').replaceChildren(line('Choose a call in "Start-up" or "Each frame" to see what it does.'));
}
