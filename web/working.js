// "How GL made this pixel": the probe's working (probe.js) as short lines, in the
// order GL works: the pixel's centre, each unit's coordinates, texels, weights,
// filter and environment, then the stored byte beside the canvas's own.
import { GL } from './glstate.js';
import { imageOf, wrap } from './probe.js';
import { el, fixed, glName, line, ofTexels, rgb, textureText } from './dom.js';

const channels = ['red', 'green', 'blue'];
const what = {
  [GL.REPLACE]: 'its output is its texture\'s colour',
  [GL.DECAL]: 'on an RGB texture, its output is the texture\'s colour',
  [GL.MODULATE]: 'previous × texture / 255, per channel',
  [GL.ADD]: 'previous + texture, per channel, clamped at 255',
};

// The taken texels, outlined, with their neighbours, enlarged, and the sample
// point: the first taken texel is always the second cell from the lower left.
function zoom({ texture, sample }) {
  const cell = 12, span = 4, canvas = el('canvas', { width: cell * span, height: cell * span, className: 'zoom',
    attrs: { role: 'img', 'aria-label': 'the texels around the sample point, enlarged' } });
  const context = canvas.getContext('2d'), side = sample.texels.length == 1 ? 1 : 2;
  const nearest = side == 1 ? 0.5 : 0; // GL_NEAREST takes floor(u + 0.5)
  const i0 = Math.floor(sample.u + nearest) - 1, j0 = Math.floor(sample.v + nearest) - 1;
  for (let dj = 0; dj < span; ++dj) {
    for (let di = 0; di < span; ++di) {
      const i = wrap(i0 + di, texture.width, texture.wrapS), j = wrap(j0 + dj, texture.height, texture.wrapT);
      const at = (j * texture.width + i) * 3;
      context.fillStyle = `rgb(${texture.texels[at]} ${texture.texels[at + 1]} ${texture.texels[at + 2]})`;
      context.fillRect(di * cell, (span - 1 - dj) * cell, cell, cell);
    }
  }
  context.strokeStyle = '#ff0';
  context.lineWidth = 2;
  context.strokeRect(cell + 1, (span - 1 - side) * cell + 1, side * cell - 2, side * cell - 2);
  context.fillStyle = '#f0f';
  context.beginPath();
  context.arc((sample.u - i0 + 0.5) * cell, (span - (sample.v - j0 + 0.5)) * cell, 3, 0, 2 * Math.PI);
  context.fill();
  return canvas;
}

// Within rounding of a texel's edge, where GL_NEAREST may take either texel.
const onEdge = (...coordinates) => coordinates.some(value => Math.abs(value - Math.round(value)) < 1e-4);

function unitPart(step) {
  const which = imageOf(step.texture) || `texture ${step.texture.name}`;
  const id = `working-unit-${step.n}`, { texture, sample } = step;
  const heading = el('h3', { id }, `Unit ${step.n}: ${textureText(texture)}`);
  const [[s0, t0], [s1, t1]] = step.corners;
  const lines = [line(`s = ${fixed(step.s, 4)}, t = ${fixed(step.t, 4)}`),
                 line(`from s ${ofTexels(s0, texture.width || 1)} to ${ofTexels(s1, texture.width || 1)}, ` +
                      `t ${ofTexels(t0, texture.height || 1)} to ${ofTexels(t1, texture.height || 1)} at the corners`)];
  if (step.off) {
    const why = !step.unit.enabled ? 'GL_TEXTURE_2D is not enabled here' : texture.texels ? 'its texture is incomplete' : 'no image';
    lines.push(line(`${why}: the unit acts as if texturing were off`),
               line(`and passes its input on: ${rgb(step.input)}`));
  } else {
    const { width, height } = texture, mag = sample.magnified;
    lines.push(
      line(`In texel space: s × ${width} − 0.5 = ${fixed(sample.u, 2)}, t × ${height} − 0.5 = ${fixed(sample.v, 2)}`),
      line(`${glName(sample.filter)}, as glTexParameteri set ${mag ? 'GL_TEXTURE_MAG_FILTER' : 'GL_TEXTURE_MIN_FILTER'} ` +
           `(${fixed(sample.rho, 2)} texels a pixel: ${mag ? 'magnified' : 'minified'}):`),
      line(sample.texels.length == 1 ? 'the nearest texel,' : `the four nearest texels, ${glName(texture.wrapS)}:`),
      sample.texels.length == 1 && onEdge(step.s * width, step.t * height) &&
        line('(the centre is on a texel\'s edge: GL, rounding its own way, may take the neighbour)'),
      el('ul', { className: 'texel-list' }, sample.texels.map(texel => el('li', {},
        el('span', { className: 'swatch', style: `background: rgb(${texel.colour.join(' ')})` }),
        `(${texel.i}, ${texel.j}) weight ${fixed(texel.weight, 3)}: ${texel.colour.join(' ')}`))),
      zoom(step),
      line(`Filtered ${which}: ${rgb(sample.colour, 1)}`),
      line(`${glName(step.mode)}: ${what[step.mode] || 'a mode this page does not work out'}`));
    if (step.mode == GL.MODULATE || step.mode == GL.ADD) {
      const sign = step.mode == GL.ADD ? '+' : '×', tail = step.mode == GL.ADD ? '' : ' / 255';
      lines.push(...channels.map((name, c) => line(
        `${name} ${fixed(step.input[c], 1)} ${sign} ${fixed(sample.colour[c], 1)}${tail} = ${fixed(step.output[c], 1)}`)));
    } else if (step.output) {
      lines.push(line(`output ${rgb(step.output, 1)}`));
    }
  }
  return el('li', { className: 'unit' }, el('div', { attrs: { role: 'group', 'aria-labelledby': id } }, heading, lines));
}

// The working for `work` (probe.js's workAt) into `container`.
export function showWorking(container, work, scene) {
  const { x, y, centre } = work, { low, high } = scene;
  const pixel = el('li', {}, el('h3', {}, 'The pixel'),
    line(`x ${x}, y ${y} from the top left`),
    line(`centre in window coordinates, y up: (${centre.x}, ${centre.y})`),
    line(`the square, from its glVertex3f corners under glOrtho: (${fixed(low.x, 1)}, ${fixed(low.y, 1)}) ` +
         `to (${fixed(high.x, 1)}, ${fixed(high.y, 1)})`),
    work.inside ? line(`across the square: ${fixed(work.across.x, 4)} right, ${fixed(work.across.y, 4)} up`)
                : line('outside the square: only glClear\'s colour'),
    work.inside && line(`colour before texturing: ${rgb(scene.colour)}, GL's current colour`));
  const asWritten = work.asWritten && line(`the program as written: ${work.asWritten.join(' ')}, ` +
    `difference ${work.drawn.map((value, c) => value - work.asWritten[c]).join(' ')}`);
  if (!work.inside) {
    return container.replaceChildren(el('ol', { className: 'steps' }, pixel,
      el('li', {}, el('h3', {}, 'The stored byte'), line(`the canvas: ${work.drawn.join(' ')}`), asWritten)));
  }
  const differs = work.difference.some(value => value != 0);
  const result = el('li', {}, el('h3', {}, 'The stored byte'),
    line(`rounded to 8 bits: ${work.rounded.join(' ')}`),
    line(`the canvas: ${work.drawn.join(' ')}`),
    line(`difference: ${work.difference.join(' ')}`),
    differs && line('GL\'s fixed-function arithmetic may differ from exact maths by a few 1/255.'),
    line('The readout above rounds each sample first, so its integers need not multiply exactly.'), asWritten);
  container.replaceChildren(el('ol', { className: 'steps' }, pixel,
    work.units.map(unitPart), result));
}
