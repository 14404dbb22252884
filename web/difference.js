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

let rampDrawn = false;
function drawRamp() {
  const canvas = $('difference-ramp'), context = canvas.getContext('2d');
  for (let x = 0; x < canvas.width; ++x) {
    context.fillStyle = `rgb(${colourOf(Math.exp(x / (canvas.width - 1) * Math.log(255))).join(' ')})`;
    context.fillRect(x, 0, 1, canvas.height);
  }
  rampDrawn = true;
}

// `pixels` (the run's frame) against `reference` (the program as written), both
// `width` × `height`, bottom row first, four bytes a pixel; undefined: nothing
// changed; null: the program as written could not be run to compare with.
export function showDifference(pixels, reference, width, height) {
  const canvas = $('difference-view'), context = canvas.getContext('2d');
  const image = context.createImageData(canvas.width, canvas.height), out = image.data;
  const scale = width / canvas.width;
  if (!rampDrawn) drawRamp();
  let count = 0, largest = 0, at = null;
  if (reference) {
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const i = (y * width + x) * 4;
        const d = Math.max(Math.abs(pixels[i] - reference[i]), Math.abs(pixels[i + 1] - reference[i + 1]),
                           Math.abs(pixels[i + 2] - reference[i + 2]));
        if (!d) continue;
        ++count;
        if (d > largest) [largest, at] = [d, { x, y: height - 1 - y }];
        const o = ((canvas.height - 1 - Math.floor(y / scale)) * canvas.width + Math.floor(x / scale)) * 4;
        if (d > out[o + 3]) { out.set(colourOf(d), o); out[o + 3] = d; } // alpha keeps the block's largest
      }
    }
  }
  for (let o = 3; o < out.length; o += 4) out[o] = 255; // unmarked: black
  context.putImageData(image, 0, 0);
  $('difference-caption').textContent = reference === undefined
    ? 'Nothing is changed: this is the program as written. Change a call under "What if" to compare.'
    : !reference ? 'The program as written could not be run on these images, so there is nothing to compare with.'
    : count == 0 ? 'No pixel differs from the program as written.'
    : `${count} of ${width * height} pixels differ; the largest difference is ${largest} of 255 in one channel, ` +
      `for one at x ${at.x}, y ${at.y}. Each dot is 2×2 pixels, coloured by the largest difference among them.`;
}
