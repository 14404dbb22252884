// The pictures' marks: each image panel's image as the program reads it (or
// white, "no image"), the outline of what each unit's coordinates show, the
// texels the probe blends, a chosen glVertex3f's corner, and the equation's
// dimming and sign between the two images.
import { bmpPixels } from './images.js';
import { modeOf } from './gl.js';
import { counted } from './glstate.js';
import { $, fileOf, ofTexels, offer, panelNames, panelOf } from './dom.js';

// The panel shows `bytes` (null: left out, white with "no image") at `size`,
// offers them for download, and says what was done to make them.
export function showImage(which, bytes, note, size) {
  const canvas = $(`${which}-view`);
  offer($(`${which}-download`), bytes);
  $(`${which}-note`).textContent = note;
  $(`${which}-none-label`).hidden = !!bytes;
  canvas.width = canvas.height = size;
  const context = canvas.getContext('2d');
  if (!bytes) {
    context.fillStyle = '#fff';
    return context.fillRect(0, 0, size, size);
  }
  context.putImageData(bmpPixels(bytes, size), 0, 0);
}

// `element` at the fraction (left, top) of its picture, `width` by `height` when given.
export function place(element, left, top, width, height) {
  element.hidden = false;
  Object.assign(element.style, { left: `${left * 100}%`, top: `${top * 100}%` });
  if (width !== undefined) Object.assign(element.style, { width: `${width * 100}%`, height: `${height * 100}%` });
}
const fraction = value => value - Math.floor(value);

// The panel each unit samples, by the file its texture was read from; null: none.
export const panelsOf = units => units.map(unit => panelOf(unit.texture.file));

// The coordinates of each enabled unit at the square's corners, outlined on the
// image it samples, in the image's own orientation (its first row at the bottom)
// and labelled; the light map's caption counts the texels shown. An image left
// out (not among the run's `uploaded` files) has no outline and no texels to count.
export function outline(scene, panels, uploaded) {
  for (const which of panelNames()) {
    const n = panels.findIndex((panel, n) => panel == which && scene.units[n].enabled), box = $(`${which}-outline`);
    const caption = $(`${which}-caption`);
    box.hidden = n < 0;
    if (caption && n < 0) {
      caption.textContent = uploaded.includes(fileOf(which)) ? 'No texture unit samples this image in this run.'
        : 'No image, so no texels: a unit without an image passes on the colour coming in, as if it sampled white.';
    }
    if (n < 0) continue;
    const [s0, t0] = scene.low.coords[n], [s1, t1] = scene.high.coords[n], size = scene.units[n].texture.width;
    const label = (s, t) => s == t ? ofTexels(s, size) : `(${ofTexels(s, size)}, ${ofTexels(t, size)})`;
    place(box, s0, 1 - t1, s1 - s0, t1 - t0);
    box.querySelector('.low').textContent = label(s0, t0);
    box.querySelector('.high').textContent = label(s1, t1);
    if (!caption) continue;
    const range = (a, b) => `${Math.floor(a * size)} to ${Math.ceil(b * size) - 1}`;
    const columns = range(s0, s1), rows = range(t0, t1);
    caption.textContent = (columns == rows
      ? `The square shows the outlined texels, ${columns} on each axis, stretched over all of it.`
      : `The square shows the outlined texels, columns ${columns} and rows ${rows}, stretched over it.`) +
      ` Texel i covers i/${size} to (i+1)/${size}, so ${ofTexels(s0, size)} to ${ofTexels(s1, size)} spans texels ${columns}.`;
  }
}

// The equation follows the units as drawn: an image that adds nothing to the
// result (not sampled, or dropped by a later unit's mode) is dimmed; one left
// out stays white, which is what its unit passes on; the sign between them is
// the mode that combines the second with the first.
export function showEquation(units, panels, uploaded) {
  const used = counted(units);
  const role = which => used.some(n => panels[n] == which) ? 'counted'
    : uploaded.includes(fileOf(which)) ? 'unused' : 'white';
  const [first, second] = panelNames(), roles = [role(first), role(second)];
  for (const [k, which] of [first, second].entries()) $(`${which}-panel`).classList.toggle('unused', roles[k] == 'unused');
  const unit = used.find(n => panels[n] == second);
  $('times').textContent = roles[0] == 'unused' ? '' : roles[1] == 'white' ? '×'
    : roles[1] == 'counted' ? modeOf(units[unit].mode).sign || '' : '';
}

// The probe's marks on one input picture: the sample point and the texels blended.
export function markTexels(which, step) {
  const marker = $(`${which}-marker`), block = $(`${which}-texels`), sample = step && step.sample;
  marker.hidden = block.hidden = !sample;
  if (!sample) return;
  const { width, height } = step.texture, [first] = sample.texels, side = sample.texels.length == 1 ? 1 : 2;
  place(marker, fraction(step.s), 1 - fraction(step.t));
  place(block, (first.i + side / 2) / width, 1 - (first.j + side / 2) / height);
  Object.assign(block.style, { width: `max(10px, ${side / width * 100}%)`, height: `max(10px, ${side / height * 100}%)` });
}

// A chosen glVertex3f's corner on the result, and its coordinates on the picture
// each unit samples (`panels`, from panelsOf).
export function showVertex(vertex, canvas, panels) {
  for (const id of ['result-vertex', ...panelNames().map(which => `${which}-vertex`)]) $(id).hidden = true;
  if (!vertex || !canvas) return;
  place($('result-vertex'), vertex.x / canvas.width, 1 - vertex.y / canvas.height);
  vertex.coords.forEach(([s, t], n) => panels[n] &&
    place($(`${panels[n]}-vertex`), s == 1 ? 1 : fraction(s), 1 - (t == 1 ? 1 : fraction(t))));
}
