// "How GL made this pixel": the probe's working (probe.js) as short lines, in the
// order GL works, each number with the arithmetic that made it: the pixel's
// centre, each unit's coordinates, the point in texel space, the texels, their
// weights, the filter and the environment, then the stored byte beside the canvas's own.
import { glName } from './gl.js';
import { texelAt } from './glstate.js';
import { imageOf, wrap } from './probe.js';
import { el, fixed, line, ofTexels, rgb, textureText } from './dom.js';

const channels = ['red', 'green', 'blue'];
const f3 = value => fixed(value, 3);

// The taken texels, outlined, with their neighbours, enlarged, and the sample
// point: the first taken texel is always the second cell from the lower left.
function zoom({ texture, sample }) {
  const cell = 12, span = 4, canvas = el('canvas', { width: cell * span, height: cell * span, className: 'zoom',
    attrs: { role: 'img', 'aria-label': 'the texels around the sample point, enlarged' } });
  const context = canvas.getContext('2d'), side = sample.texels.length == 1 ? 1 : 2;
  const i0 = sample.i - 1, j0 = sample.j - 1;
  for (let dj = 0; dj < span; ++dj) {
    for (let di = 0; di < span; ++di) {
      const i = wrap(i0 + di, texture.width, texture.wrapS), j = wrap(j0 + dj, texture.height, texture.wrapT);
      context.fillStyle = `rgb(${texelAt(texture, i, j).join(' ')})`;
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

// How far apart texels are in window pixels, and so which filter GL takes.
function scaleLines({ rho, magnified, filter }) {
  const which = magnified ? 'GL_TEXTURE_MAG_FILTER' : 'GL_TEXTURE_MIN_FILTER';
  return [line(`One pixel of the window spans ${fixed(rho, 2)} texels` +
               (magnified ? ` (one texel spans ${fixed(1 / rho, 1)} pixels): the texture is magnified,` : ': the texture is minified,')),
          line(`so GL filters with ${which}, which glTexParameteri set to ${glName(filter)}.`)];
}

// The point in texel space and the texels the filter takes, with the arithmetic.
function filterLines({ texture, sample, s, t }) {
  const { width: w, height: h } = texture, { u, v, i, j, a, b } = sample;
  if (sample.texels.length == 1) {
    return [line(`GL_NEAREST takes the texel the point falls in: i = floor(s × ${w}) = floor(${fixed(s * w, 2)}) = ${i}, ` +
                 `j = floor(t × ${h}) = floor(${fixed(t * h, 2)}) = ${j}:`),
            onEdge(s * w, t * h) && line('(the centre is on a texel\'s edge: GL, rounding its own way, may take the neighbour)')];
  }
  const wrapped = sample.texels.some(texel => texel.i != i && texel.i != i + 1 || texel.j != j && texel.j != j + 1);
  return [line(`Texel i spans s × ${w} from i to i + 1, so its centre is at i + 0.5: taking 0.5 away measures from the centres.`),
          line(`u = s × ${w} − 0.5 = ${f3(u)}, v = t × ${h} − 0.5 = ${f3(v)}`),
          line(`i = floor(u) = ${i}, a = u − i = ${f3(a)}; j = floor(v) = ${j}, b = v − j = ${f3(b)}`),
          line(`GL_LINEAR blends the four texels around it${wrapped ? ` (${glName(texture.wrapS)} wraps their indices)` : ''}, ` +
               'each weighted by how near the point is to its centre:')];
}

const weightText = (k, { a, b }) => [['(1 − a)(1 − b)', 1 - a, 1 - b], ['a(1 − b)', a, 1 - b],
                                     ['(1 − a)b', 1 - a, b], ['ab', a, b]][k];

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
    const { mode } = step;
    lines.push(...scaleLines(sample), ...filterLines(step),
      el('ul', { className: 'texel-list' }, sample.texels.map((texel, k) => {
        const [words, x, y] = sample.texels.length == 1 ? [] : weightText(k, sample);
        return el('li', {}, el('span', { className: 'swatch', style: `background: rgb(${texel.colour.join(' ')})` }),
          `(${texel.i}, ${texel.j}) weight ${words ? `${f3(texel.weight)} = ${words} = ${f3(x)} × ${f3(y)}` : '1'}: ` +
          texel.colour.join(' '));
      })),
      zoom(step),
      line(`Filtered ${which}: the sum of weight × texel, ${rgb(sample.colour, 1)}`),
      line(`${mode.name}: ${mode.working}`));
    if (mode.channel) {
      lines.push(...channels.map((name, c) => line(
        `${name} ${mode.channel(fixed(step.input[c], 1), fixed(sample.colour[c], 1))} = ${fixed(step.output[c], 1)}`)));
    } else {
      lines.push(line(`output ${rgb(step.output, 1)}`));
    }
  }
  return el('li', { className: 'unit' }, el('div', { attrs: { role: 'group', 'aria-labelledby': id } }, heading, lines));
}

// The working for `work` (probe.js's workAt) into `container`; `extra` are
// lines of the stored byte's part that others add.
export function showWorking(container, work, scene, extra = []) {
  const { x, y, centre } = work, { low, high } = scene;
  const pixel = el('li', {}, el('h3', {}, 'The pixel'),
    line(`x ${x}, y ${y} from the top left`),
    line(`centre in window coordinates, y up: (${centre.x}, ${centre.y})`),
    line(`the square, from its glVertex3f corners under glOrtho: (${fixed(low.x, 1)}, ${fixed(low.y, 1)}) ` +
         `to (${fixed(high.x, 1)}, ${fixed(high.y, 1)})`),
    work.inside ? line(`across the square: ${fixed(work.across.x, 4)} right, ${fixed(work.across.y, 4)} up`)
                : line('outside the square: only glClear\'s colour'),
    work.inside && line(`colour before texturing: ${rgb(scene.colour)}, GL's current colour`));
  const asWritten = work.asWritten && line(`the program as written, on the same images: ${work.asWritten.join(' ')}, ` +
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
    line('The readout above rounds each sample first, so its integers need not multiply exactly.'), asWritten, extra);
  container.replaceChildren(el('ol', { className: 'steps' }, pixel, work.units.map(unitPart), result));
}
