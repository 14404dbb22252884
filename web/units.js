// The texture units' state as the model (glstate.js) holds it: "Texture units"
// shows the chain the square is drawn with, at glBegin; "This call" shows the
// same parts after any call, with what that call changed marked.
import { glName, modeOf } from './gl.js';
import { complete } from './glstate.js';
import { el, line, textureText } from './dom.js';
import { shortFloat } from './calls.js';

// A line, marked where any of `keys` is among what the call changed.
export function marked(changed, keys, text) {
  const hit = [keys].flat().some(key => changed.includes(key));
  return el('p', { className: hit ? 'line changed' : 'line' }, text, hit && el('span', { className: 'tag' }, ' ← changed'));
}

// Unit `n`'s part: enable, texture, filters and wraps, mode and, with `coords`,
// its current texture coordinates. `prefix` keeps the heading's id unique.
export function unitPart(unit, n, { changed = [], prefix, coords = false } = {}) {
  const id = `${prefix}-unit-${n}`, texture = unit.texture, at = `unit ${n}`;
  const off = !unit.enabled || !complete(texture);
  const parts = [
    el('h3', { id }, `Unit ${n}`),
    marked(changed, `${at} enabled`, `GL_TEXTURE_2D ${unit.enabled ? 'enabled' : 'not enabled'}`),
    marked(changed, `${at} texture`, textureText(texture)),
  ];
  if (texture.name || texture.texels) {
    const of = (...keys) => keys.map(key => `texture ${texture.name} ${key}`);
    parts.push(marked(changed, of('min', 'mag'), `filters ${glName(texture.min)} (min), ${glName(texture.mag)} (mag)`),
               marked(changed, of('wrapS', 'wrapT'), `wraps ${glName(texture.wrapS)} (s), ${glName(texture.wrapT)} (t)`));
  }
  parts.push(marked(changed, `${at} mode`, `${glName(unit.mode)}: ${off ? 'off, passes previous on' : modeOf(unit.mode).computes}`));
  if (coords) parts.push(marked(changed, `${at} coords`, `current s = ${shortFloat(unit.coords[0])}, t = ${shortFloat(unit.coords[1])}`));
  return el('li', { className: off ? 'unit off' : 'unit' }, el('div', { attrs: { role: 'group', 'aria-labelledby': id } }, parts));
}

// "Texture units": primary colour → unit 0 → unit 1 → the pixel, as drawn.
export function showUnits(container, units, colour) {
  container.replaceChildren(el('ol', { className: 'chain' },
    el('li', { className: 'link' }, el('h3', {}, 'Primary colour'), line(colour.map(Math.round).join(' '))),
    units.map((unit, n) => unitPart(unit, n, { prefix: 'units' })),
    el('li', { className: 'link' }, el('h3', {}, 'The pixel'), line('stored as 8 bits a channel'))));
}
