// "What if": a few of the program's calls, changed where they meet GL (the call
// wrapper in calls.js), never in the program. Each switch names the calls by
// what the program meant (the unit it selected, the texture it bound), so the
// switches combine the same way whatever else is switched: with unit 1 never
// selected, the glTexEnvf meant for unit 1 still gets unit 1's mode, and lands
// on unit 0. The first choice of each switch is the program as written; the
// others are kept in the page's address, e.g. #filter=GL_NEAREST&mode=GL_ADD.
import { enums } from './calls.js';
import { $, el } from './dom.js';
import { GL } from './glstate.js';

const written = ' (as written)';
export const switches = [
  { key: 'filter', label: 'Light map filter', choices: [['', `GL_LINEAR${written}`], ['GL_NEAREST', 'GL_NEAREST']],
    none: 'This run uploads no light map, so no glTexParameteri sets its filter: nothing to change.',
    teaches: {
      '': 'GL_LINEAR blends the four texels nearest each pixel: that is what makes a small light map look smooth.',
      GL_NEAREST: 'GL_NEAREST takes the one nearest texel, so the light map\'s texels show as blocks: ' +
                  'GL_LINEAR is what makes a small light map look smooth.',
    } },
  { key: 'mode', label: 'Unit 1 mode',
    choices: [['', `GL_MODULATE${written}`], ['GL_REPLACE', 'GL_REPLACE'], ['GL_ADD', 'GL_ADD'], ['GL_DECAL', 'GL_DECAL']],
    none: 'This run makes no glTexEnvf for unit 1: nothing to change.',
    teaches: {
      '': 'GL_MODULATE multiplies: the wall keeps its detail, and goes dark where the light map is dark.',
      GL_REPLACE: 'GL_REPLACE throws unit 0\'s light away: the wall alone, unlit. Multiplying is what lights it.',
      GL_ADD: 'GL_ADD adds the light to the wall: everything brightens and bright parts clip at white, ' +
              'where light should scale a colour, not add to it.',
      GL_DECAL: 'GL_DECAL on a texture without alpha gives the texture\'s own colour: here the same as GL_REPLACE.',
    } },
  { key: 'coords', label: 'Light map coordinates', choices: [['', `1/32 to 21/32${written}`], ['0-to-1', '0 to 1']],
    none: 'This run makes no glMultiTexCoord2fARB for unit 0: nothing to change.',
    teaches: {
      '': 'The square shows only part of the light map, stretched over it: a light at the centre of that part ' +
          'lands at the square\'s centre, and one at the map\'s own centre lands in its upper right.',
      '0-to-1': 'The whole light map over the square: each point lands where it is in the image, so a light ' +
                'placed for the part the program shows moves off centre.',
    } },
  { key: 'select', label: 'Select unit 1',
    choices: [['', `yes${written}`], ['no', 'no: leave out glActiveTextureARB(GL_TEXTURE1_ARB)']],
    none: 'This run makes no glActiveTextureARB(GL_TEXTURE1_ARB): nothing to change.',
    teaches: {
      '': 'glActiveTextureARB picks the unit that the glBindTexture, glTexEnvf and glEnable after it set up.',
      no: 'Unit 1\'s set-up lands on unit 0: the wall replaces the light map there, at the light map\'s ' +
          'coordinates, and unit 1 stays off. glMultiTexCoord2fARB names its unit, so it is not affected.',
    } },
  { key: 'enable', label: 'Enable unit 1', choices: [['', `yes${written}`], ['no', 'no: leave out unit 1\'s glEnable']],
    none: 'This run makes no glEnable for unit 1: nothing to change.',
    teaches: {
      '': 'A unit samples its texture only while GL_TEXTURE_2D is enabled on it.',
      no: 'The wall is bound and has its image, but its unit is off and passes the light on: the light map alone.',
    } },
];

const valueOf = name => Number(Object.keys(enums).find(value => enums[value] == name));

// The switches in `hash` (as location.hash gives it); anything unknown is as written.
export function fromHash(hash) {
  const given = new URLSearchParams(hash.replace(/^#/, ''));
  return Object.fromEntries(switches.map(({ key, choices }) => {
    const value = given.get(key);
    return [key, choices.some(([choice]) => choice && choice == value) ? value : ''];
  }));
}

export const toHash = choices => {
  const changed = switches.filter(({ key }) => choices[key]).map(({ key }) => [key, choices[key]]);
  return changed.length ? `#${new URLSearchParams(changed)}` : '';
};

export const asWritten = choices => switches.every(({ key }) => !choices[key]);

// The switches not as written, in words: "Light map filter: GL_NEAREST; Select unit 1: no".
export const changedText = choices => switches.filter(({ key }) => choices[key])
  .map(({ key, label, choices: options }) => `${label}: ${options.find(([value]) => value == choices[key])[1].split(':')[0]}`)
  .join('; ');

// Unit 0's coordinates as the program passes them in a frame's calls: the range
// "0 to 1" maps from.
export function rangeOf(frame) {
  const unit0 = frame.filter(call => call.name == 'glMultiTexCoord2fARB' && call.args[0] == GL.TEXTURE0);
  if (!unit0.length) return null;
  const span = n => [Math.min(...unit0.map(call => call.args[n])), Math.max(...unit0.map(call => call.args[n]))];
  return { s: span(1), t: span(2) };
}

// The hook the call wrapper runs before each call: it sets `call.sent` or
// `call.skipped` for `choices`, and counts in `counts` the calls each switch changed.
export function changer(choices, range) {
  const counts = Object.fromEntries(switches.map(({ key }) => [key, 0]));
  const bound = [0, 0];
  let active = 0, generated = null; // as the program meant them
  const change = (key, call, sent) => {
    ++counts[key];
    if (sent) call.sent = sent; else call.skipped = key;
  };
  const before = call => {
    const [a, b, c] = call.args;
    switch (call.name) {
      case 'glGenTextures': generated = call; break; // its names are written by the next call
      case 'glActiveTextureARB':
        active = a - GL.TEXTURE0;
        if (active == 1 && choices.select) change('select', call);
        break;
      case 'glBindTexture': bound[active] = b; break;
      case 'glTexParameteri':
        if (choices.filter && (b == GL.MAG_FILTER || b == GL.MIN_FILTER) && generated && generated.names &&
            bound[active] == generated.names[0]) change('filter', call, [a, b, valueOf(choices.filter)]);
        break;
      case 'glTexEnvf':
        if (choices.mode && active == 1 && b == GL.TEXTURE_ENV_MODE) change('mode', call, [a, b, valueOf(choices.mode)]);
        break;
      case 'glEnable': if (choices.enable && active == 1 && a == GL.TEXTURE_2D) change('enable', call); break;
      case 'glMultiTexCoord2fARB':
        if (choices.coords && range && a == GL.TEXTURE0) {
          const to = ([low, high], value) => high == low ? value : (value - low) / (high - low);
          change('coords', call, [a, Math.fround(to(range.s, b)), Math.fround(to(range.t, c))]);
        }
        break;
      default: break;
    }
  };
  return { before, counts };
}

// The switches into `fieldset`, each a labelled select with its line (showSwitches
// sets them); `onChange` gets the new choices. Every choice's line is laid out in
// the same place, only the chosen one shown, so that the pictures below never
// move with a choice.
export function buildSwitches(fieldset, onChange) {
  for (const { key, label, choices: options, teaches } of switches) {
    const id = `what-if-${key}`;
    const select = el('select', { id }, options.map(([value, text]) => new Option(text, value)));
    select.addEventListener('change', () => onChange({ ...currentChoices(), [key]: select.value }));
    fieldset.querySelector('.switches').append(el('div', { className: 'switch' },
      el('label', { htmlFor: id }, label), select,
      el('div', { className: 'teaches' }, options.map(([value], n) => el('p', { id: `${id}-line-${n}` }, teaches[value]))),
      el('p', { id: `${id}-none`, className: 'note', hidden: true })));
  }
}

const currentChoices = () => Object.fromEntries(switches.map(({ key }) => [key, $(`what-if-${key}`).value]));

// Each select at `choices`, with its line; with a run's `counts`, a switch that
// found nothing to change says so. Nothing before they are built.
export function showSwitches(choices, counts) {
  if (!$('what-if-filter')) return;
  for (const { key, choices: options, none } of switches) {
    const select = $(`what-if-${key}`), chosen = options.findIndex(([value]) => value == choices[key]);
    select.value = choices[key];
    select.setAttribute('aria-describedby', `what-if-${key}-line-${chosen}`);
    options.forEach((option, n) => $(`what-if-${key}-line-${n}`).classList.toggle('shown', n == chosen));
    const note = $(`what-if-${key}-none`);
    note.hidden = !(counts && choices[key] && counts[key] == 0);
    note.textContent = note.hidden ? '' : none;
  }
}
