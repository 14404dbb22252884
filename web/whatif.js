// "What if": a few of the program's calls, changed where they meet GL (the call
// wrapper in calls.js), never in the program. Each switch names the calls by
// what the program meant, which the model (glstate.js) tracks from the calls as
// written while the program runs, and reads from the program as written's run on
// the same images: the texture it read the light map into, unit 0's range. So
// the switches combine the same way whatever else is switched: with unit 1 never
// selected, the glTexEnvf meant for unit 1 still gets unit 1's mode, and lands on
// unit 0. The first choice of each switch is the program as written, named from
// that run; the others are kept in the page's address, e.g. #filter=GL_NEAREST.
import { GL, glName, glValue, modes } from './gl.js';
import { rangeOf, textureOf, tracker } from './glstate.js';
import { $, el, ofTexels } from './dom.js';
import { state } from './state.js';

const unit1 = GL.TEXTURE0 + 1;
export const switches = [
  { key: 'filter', label: 'Light map filter', choices: ['GL_NEAREST', 'GL_LINEAR'],
    asWritten: meant => meant.filter,
    none: 'This run uploads no light map, so no glTexParameteri sets its filter: nothing to change.',
    teaches: {
      GL_LINEAR: 'GL_LINEAR blends the four texels nearest each pixel: that is what makes a small light map look smooth.',
      GL_NEAREST: 'GL_NEAREST takes the one nearest texel, so the light map\'s texels show as blocks: ' +
                  'GL_LINEAR is what makes a small light map look smooth.',
    } },
  { key: 'mode', label: 'Unit 1 mode', choices: modes.map(mode => mode.name), asWritten: meant => meant.mode,
    none: 'This run makes no glTexEnvf for unit 1: nothing to change.',
    teaches: Object.fromEntries(modes.map(mode => [mode.name, mode.teaches])) },
  { key: 'coords', label: 'Light map coordinates', choices: ['0-to-1'], asWritten: meant => meant.range,
    none: 'This run makes no glMultiTexCoord2fARB for unit 0 that "0 to 1" can map: nothing to change.',
    teaches: {
      '': 'As written, the square shows the outlined part of the light map, stretched over it: a light at the ' +
          'centre of that part lands at the square\'s centre.',
      '0-to-1': 'The whole light map over the square: each point lands where it is in the image, so a light ' +
                'placed for the part the program shows moves.',
    } },
  { key: 'select', label: 'Select unit 1', choices: ['no'], asWritten: () => 'yes',
    none: 'This run makes no glActiveTextureARB(GL_TEXTURE1_ARB): nothing to change.',
    teaches: {
      '': 'glActiveTextureARB picks the unit that the glBindTexture, glTexEnvf and glEnable after it set up.',
      no: 'Unit 1\'s set-up lands on unit 0: the wall replaces the light map there, at the light map\'s ' +
          'coordinates, and unit 1 stays off. glMultiTexCoord2fARB names its unit, so it is not affected.',
    } },
  { key: 'enable', label: 'Enable unit 1', choices: ['no'], asWritten: () => 'yes',
    none: 'This run makes no glEnable for unit 1: nothing to change.',
    teaches: {
      '': 'A unit samples its texture only while GL_TEXTURE_2D is enabled on it.',
      no: 'The wall is bound and has its image, but its unit is off and passes the light on: the light map alone.',
    } },
];
const choiceText = { no: { select: 'no: leave out glActiveTextureARB(GL_TEXTURE1_ARB)', enable: 'no: leave out unit 1\'s glEnable' },
                     '0-to-1': { coords: '0 to 1' } };

// What the program as written meant, from its model (glstate.js replay) on the
// current images: the texture `lightFile` went into and its filter, unit 1's
// mode and unit 0's range, as the square was drawn.
export function meantBy(model, lightFile) {
  const light = textureOf(model, lightFile), drawn = model.square.units, range = rangeOf(model, 0);
  const size = light ? light.width : 0, ends = ([low, high]) => `${ofTexels(low, size, true)} to ${ofTexels(high, size, true)}`;
  return { light: light && light.name, filter: light && glName(light.mag), mode: drawn && glName(drawn[1].mode),
           range: range && { ...range, text: range.s.join() == range.t.join() ? ends(range.s) : `s ${ends(range.s)}, t ${ends(range.t)}` } };
}

// The switches in `hash` (as location.hash gives it); anything unknown is as written.
export function fromHash(hash) {
  const given = new URLSearchParams(hash.replace(/^#/, ''));
  return Object.fromEntries(switches.map(({ key, choices }) => [key, choices.includes(given.get(key)) ? given.get(key) : '']));
}

// The switches not as written, as the address keeps them: [key, value] pairs.
export const toHash = choices => switches.filter(({ key }) => choices[key]).map(({ key }) => [key, choices[key]]);

export const asWritten = choices => switches.every(({ key }) => !choices[key]);

// The switches that changed a call in a run, in words: "Light map filter: GL_NEAREST; Select unit 1: no".
export const changedText = (choices, counts) => switches.filter(({ key }) => choices[key] && counts[key])
  .map(({ key, label }) => `${label}: ${(choiceText[choices[key]]?.[key] || choices[key]).split(':')[0]}`).join('; ');

// The hook the call wrapper runs before each call: it sets `call.sent` or
// `call.skipped` for `choices`, and counts in `counts` the calls each switch
// changed. `meant` (meantBy) is the program as written on the same images.
export function changer(choices, meant) {
  const counts = Object.fromEntries(switches.map(({ key }) => [key, 0]));
  const program = tracker();
  const change = (key, call, sent) => {
    ++counts[key];
    if (sent) call.sent = sent; else call.skipped = key;
  };
  const before = call => {
    const [a, b, c] = call.args, { active, units } = program.state;
    const filter = b == GL.TEXTURE_MAG_FILTER || b == GL.TEXTURE_MIN_FILTER;
    if (call.name == 'glActiveTextureARB' && choices.select && a == unit1) change('select', call);
    if (call.name == 'glTexParameteri' && choices.filter && filter && meant?.light && units[active].texture == meant.light) {
      change('filter', call, [a, b, glValue(choices.filter)]);
    }
    if (call.name == 'glTexEnvf' && choices.mode && active == 1 && b == GL.TEXTURE_ENV_MODE) {
      change('mode', call, [a, b, glValue(choices.mode)]);
    }
    if (call.name == 'glEnable' && choices.enable && active == 1 && a == GL.TEXTURE_2D) change('enable', call);
    if (call.name == 'glMultiTexCoord2fARB' && choices.coords && meant?.range && a == GL.TEXTURE0) {
      const to = ([low, high], value) => high == low ? value : (value - low) / (high - low);
      change('coords', call, [a, Math.fround(to(meant.range.s, b)), Math.fround(to(meant.range.t, c))]);
    }
    program.apply(call);
  };
  return { before, counts };
}

// The switches into `fieldset`, each a labelled select with its lines
// (showSwitches sets them); `onChange` gets the new choices. Every line is laid
// out in the same place, only the chosen one shown, so that nothing moves.
export function buildSwitches(fieldset, onChange) {
  for (const { key, label, choices, teaches } of switches) {
    const id = `what-if-${key}`, values = ['', ...choices.filter(value => teaches[value] || choiceText[value])];
    const select = el('select', { id }, values.map(value => new Option(choiceText[value]?.[key] || value, value)));
    select.addEventListener('change', () => onChange({ ...state.choices, [key]: select.value }));
    const lines = Object.keys(teaches).map(value => el('p', { id: `${id}-line-${value || 'as-written'}` }, teaches[value]));
    fieldset.querySelector('.switches').append(el('div', { className: 'switch' },
      el('label', { htmlFor: id }, label), select, el('div', { className: 'teaches', id: `${id}-lines` }, lines),
      el('p', { id: `${id}-none`, className: 'note', hidden: true })));
  }
}

// Each select at `choices`, its first choice named as written (`meant`), with
// the line of what is chosen; with a run's `counts`, a switch that found nothing
// to change says so. Nothing before they are built.
export function showSwitches(choices, counts, meant) {
  if (!$('what-if-filter')) return;
  for (const { key, none, asWritten: written, teaches } of switches) {
    const select = $(`what-if-${key}`), original = meant && written(meant);
    select.options[0].text = original ? `${original.text || original} (as written)` : 'as written';
    for (const option of select.options) option.hidden = !!option.value && option.value == original;
    select.value = choices[key];
    const shown = `what-if-${key}-line-${choices[key] || (teaches[original] ? original : 'as-written')}`;
    for (const line of $(`what-if-${key}-lines`).children) line.classList.toggle('shown', line.id == shown);
    if ($(shown)) select.setAttribute('aria-describedby', shown); else select.removeAttribute('aria-describedby');
    const note = $(`what-if-${key}-none`);
    note.hidden = !(counts && choices[key] && counts[key] == 0);
    note.textContent = note.hidden ? '' : none;
  }
}
