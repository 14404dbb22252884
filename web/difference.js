// "Difference": where the changed program's picture differs from the program as
// written on the same images (page.js runs that one itself), both read back right
// after their frames. The picture is half the window's size, each of its pixels
// marking a 2×2 block of the window by the largest difference in it, so that no
// differing pixel is lost; the colour is a log scale of that difference.
import { $ } from './dom.js';

// A difference 1 to 255 as a colour: dark blue through magenta to yellow.
function colourOf(difference) {
  const f = Math.log(difference) / Math.log(255), stops = [[40, 70, 255], [230, 0, 170], [255, 255, 0]];
  const [from, to, k] = f < 0.5 ? [stops[0], stops[1], f * 2] : [stops[1], stops[2], f * 2 - 1];
  return from.map((value, c) => Math.round(value + (to[c] - value) * k));
}
const colours = Array.from({ length: 256 }, (_, d) => (d ? colourOf(d) : [0, 0, 0]));

// The log scale from 1 to 255 into `canvas`, a strip.
export function drawRamp(canvas) {
  const context = canvas.getContext('2d'), ramp = context.createImageData(canvas.width, canvas.height);
  for (let x = 0; x < canvas.width; ++x) {
    const colour = [...colourOf(Math.exp(x / (canvas.width - 1) * Math.log(255))), 255];
    for (let y = 0; y < canvas.height; ++y) ramp.data.set(colour, (y * canvas.width + x) * 4);
  }
  context.putImageData(ramp, 0, 0);
}

// Paints into `canvas` (a fraction of the window's size) the difference
// `differenceAt(x, y, p)` gives, 0 to 255, for each window pixel (x from the left,
// y from the bottom row, p = y × width + x), each canvas pixel keeping the
// largest of its block; returns how many differ and the largest, with where
// (y from the top, as the page counts).
export function paintDifferences(canvas, width, height, differenceAt) {
  const context = canvas.getContext('2d'), image = context.createImageData(canvas.width, canvas.height), out = image.data;
  const scale = width / canvas.width;
  let count = 0, largest = 0, at = null;
  for (let y = 0; y < height; ++y) {
    for (let x = 0, p = y * width; x < width; ++x, ++p) {
      const d = differenceAt(x, y, p);
      if (!d) continue;
      ++count;
      if (d > largest) [largest, at] = [d, { x, y: height - 1 - y }];
      const o = ((canvas.height - 1 - Math.floor(y / scale)) * canvas.width + Math.floor(x / scale)) * 4;
      if (d > out[o + 3]) { out.set(colours[d], o); out[o + 3] = d; } // alpha keeps the block's largest
    }
  }
  for (let o = 3; o < out.length; o += 4) out[o] = 255; // unmarked: black
  context.putImageData(image, 0, 0);
  return { count, largest, at };
}

// `pixels` (the run's frame) against `reference` (the program as written), both
// `width` × `height`, bottom row first, four bytes a pixel; null: the program as
// written could not be run to compare with. Pixels whose four bytes are equal
// are passed over as words.
export function showDifference(pixels, reference, width, height) {
  drawRamp($('difference-ramp'));
  const [ours, theirs] = [pixels, reference || pixels].map(bytes => new Uint32Array(bytes.buffer, bytes.byteOffset, width * height));
  const { count, largest, at } = paintDifferences($('difference-view'), width, height, (x, y, p) => {
    if (ours[p] == theirs[p]) return 0;
    const i = p * 4;
    return Math.max(Math.abs(pixels[i] - reference[i]), Math.abs(pixels[i + 1] - reference[i + 1]),
                    Math.abs(pixels[i + 2] - reference[i + 2]));
  });
  $('difference-caption').textContent = !reference ? 'The program as written could not be run on these images, so there is nothing to compare with.'
    : count == 0 ? 'Against the program as written on the same images, no pixel differs.'
    : `Against the program as written on the same images, ${count} of ${width * height} pixels differ; the largest ` +
      `difference is ${largest} of 255 in one channel, at x ${at.x}, y ${at.y}. Each dot is 2×2 pixels, ` +
      'coloured by the largest difference among them.';
}
