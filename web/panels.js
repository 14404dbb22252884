// The three pictures' marks: each input panel's image as the program reads it
// (or white, "no image"), the outline of what each unit's coordinates show, the
// texels the probe blends, and a chosen glVertex3f's corner.
import { bmpPixels } from './images.js';
import { $, ofTexels } from './dom.js';

const sizes = { light: 32, wall: 256 };

// The panel shows `bytes` (null: left out, white with "no image"), offers them
// for download, and says what was done to make them.
export function showImage(which, bytes, note) {
  const size = sizes[which], context = $(`${which}-view`).getContext('2d');
  const link = $(`${which}-download`);
  if (link.href) URL.revokeObjectURL(link.href);
  link.hidden = !bytes;
  $(`${which}-note`).textContent = note;
  $(`${which}-none-label`).hidden = !!bytes;
  if (!bytes) {
    context.fillStyle = '#fff';
    context.fillRect(0, 0, size, size);
    return link.removeAttribute('href');
  }
  context.putImageData(bmpPixels(bytes, size), 0, 0);
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/bmp' }));
}

// `element` at the fraction (left, top) of its picture, `width` by `height` when given.
export function place(element, left, top, width, height) {
  element.hidden = false;
  Object.assign(element.style, { left: `${left * 100}%`, top: `${top * 100}%` });
  if (width !== undefined) Object.assign(element.style, { width: `${width * 100}%`, height: `${height * 100}%` });
}
const fraction = value => value - Math.floor(value);

// The panel each unit samples, by the file its texture was read from; a unit
// whose texture has no image keeps its own panel (the one left out) unless
// another unit samples that panel's image. Null: no panel.
export function panelsOf(units) {
  const named = units.map(unit => ({ 'light.bmp': 'light', 'wall.bmp': 'wall' })[unit.texture.file] || null);
  return named.map((panel, n) => {
    const own = Object.keys(sizes)[n];
    return panel || (!units[n].texture.texels && !named.includes(own) ? own : null);
  });
}

// The coordinates of each enabled unit at the square's corners, outlined on the
// picture it samples, in the image's own orientation (its first row at the
// bottom) and labelled; the light map's caption counts the texels shown.
export function outline(scene, panels) {
  for (const which of Object.keys(sizes)) {
    const n = panels.findIndex((panel, n) => panel == which && scene.units[n].enabled), box = $(`${which}-outline`);
    box.hidden = n < 0;
    if (which == 'light' && n < 0) $('light-caption').textContent = 'No texture unit samples the light map in this run.';
    if (n < 0) continue;
    const [s0, t0] = scene.low.coords[n], [s1, t1] = scene.high.coords[n];
    const size = scene.units[n].texture.width || sizes[which]; // as uploaded; left out: the panel's
    const label = (s, t) => s == t ? ofTexels(s, size) : `(${ofTexels(s, size)}, ${ofTexels(t, size)})`;
    place(box, s0, 1 - t1, s1 - s0, t1 - t0);
    box.querySelector('.low').textContent = label(s0, t0);
    box.querySelector('.high').textContent = label(s1, t1);
    if (which != 'light') continue;
    const range = (a, b) => `${Math.floor(a * size)} to ${Math.ceil(b * size) - 1}`;
    const columns = range(s0, s1), rows = range(t0, t1);
    $('light-caption').textContent = (columns == rows
      ? `The square shows the outlined texels, ${columns} on each axis, stretched over all of it.`
      : `The square shows the outlined texels, columns ${columns} and rows ${rows}, stretched over it.`) +
      ` Texel i covers i/${size} to (i+1)/${size}, so ${ofTexels(s0, size)} to ${ofTexels(s1, size)} spans texels ${columns}.`;
  }
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
  for (const id of ['result-vertex', 'light-vertex', 'wall-vertex']) $(id).hidden = true;
  if (!vertex || !canvas) return;
  place($('result-vertex'), vertex.x / canvas.width, 1 - vertex.y / canvas.height);
  vertex.coords.forEach(([s, t], n) => panels[n] &&
    place($(`${panels[n]}-vertex`), s == 1 ? 1 : fraction(s), 1 - (t == 1 ? 1 : fraction(t))));
}
