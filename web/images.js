// A visitor's image as exactly what the program reads: a standard 24-bit BMP of
// the size the program reads it at, and a sentence that says what was done to it.

// Whatever the file's size, its decoded pixels stay under 256 MB (four bytes a
// pixel): a 48-megapixel photo goes in.
const limitSide = 8192, limitPixels = 64 * 1024 * 1024, limitBytes = 50 * 1000 * 1000;

// A standard 24-bit BMP, size × size, of `texel(i, j)` ([r, g, b], j from the
// bottom row): the 54-byte headers, then rows bottom to top, blue-green-red; the
// rows of both sizes are whole multiples of four bytes, so there is no padding.
export function encodeBmp(size, texel) {
  const bytes = new Uint8Array(54 + size * size * 3), view = new DataView(bytes.buffer);
  bytes.set([0x42, 0x4d]);
  view.setUint32(2, bytes.length, true);
  view.setUint32(10, 54, true);
  view.setUint32(14, 40, true);
  view.setInt32(18, size, true);
  view.setInt32(22, size, true);
  view.setUint16(26, 1, true);
  view.setUint16(28, 24, true);
  view.setUint32(34, size * size * 3, true);
  view.setUint32(38, 2835, true); // 72 dpi, in pixels per metre
  view.setUint32(42, 2835, true);
  for (let j = 0, at = 54; j < size; ++j) {
    for (let i = 0; i < size; ++i, at += 3) {
      const [r, g, b] = texel(i, j);
      bytes.set([b, g, r], at);
    }
  }
  return bytes;
}

// The BMP's pixels as the program reads them (from byte 54, blue-green-red, the
// first row at the bottom), top row first as RGBA for a 2D canvas.
export function bmpPixels(bytes, size) {
  const rgba = new Uint8ClampedArray(size * size * 4);
  for (let i = 0; i < size * size; ++i) {
    const x = i % size, row = size - 1 - Math.floor(i / size), at = 54 + (row * size + x) * 3;
    rgba[i * 4] = bytes[at + 2];
    rgba[i * 4 + 1] = bytes[at + 1];
    rgba[i * 4 + 2] = bytes[at];
    rgba[i * 4 + 3] = 255;
  }
  return new ImageData(rgba, size, size);
}

// Draws the bitmap's part that the program gets: all of it at the right size,
// else its centre square scaled.
function draw(context, bitmap, size) {
  if (bitmap.width == size && bitmap.height == size) return context.drawImage(bitmap, 0, 0);
  const side = Math.min(bitmap.width, bitmap.height);
  context.imageSmoothingQuality = 'high';
  context.drawImage(bitmap, (bitmap.width - side) / 2, (bitmap.height - side) / 2, side, side,
                    0, 0, size, size);
}

function canvasContext(size) {
  const canvas = document.createElement('canvas');
  canvas.width = canvas.height = size;
  return canvas.getContext('2d', { willReadFrequently: true });
}

function whatWasDone({ width, height }, size, transparent) {
  const side = Math.min(width, height);
  const done = width == size && height == size ? `${width}×${height}, taken pixel for pixel`
             : width == height ? `${width}×${height}, scaled to ${size}×${size}`
             : `${width}×${height}: the centre ${side}×${side}, scaled to ${size}×${size}`;
  return transparent ? `${done}; transparent parts shown over black` : done;
}

// The image's size as the browser reads it from the file, before any of its
// pixels are decoded (an <img> decodes only when drawn), and the image; EXIF
// orientation applied, as the browser shows it.
async function measure(file, name) {
  const url = URL.createObjectURL(file), image = new Image();
  try {
    image.src = url;
    await new Promise((resolve, reject) => {
      image.addEventListener('load', resolve);
      image.addEventListener('error', reject);
    });
  } catch (error) {
    throw new Error(`${name} is not an image this browser can read.`);
  } finally {
    URL.revokeObjectURL(url);
  }
  const { naturalWidth: width, naturalHeight: height } = image;
  if (!width || !height) throw new Error(`${name} has no size of its own: give the SVG a width and height.`);
  if (width > limitSide || height > limitSide) {
    throw new Error(`${name} is ${width}×${height}: over 8192 pixels on a side.`);
  }
  if (width * height > limitPixels) {
    throw new Error(`${name} is ${width}×${height}: over ${limitPixels / 1024 / 1024} megapixels.`);
  }
  return image;
}

// Any image the browser decodes, as { bytes, note }: no colour management,
// transparency over black; an animation's first frame. Throws an Error whose
// message is for the visitor.
export async function convert(file, size) {
  const name = file.name ? `“${file.name}”` : 'This file';
  if (file.size > limitBytes) throw new Error(`${name} is over 50 MB.`);
  const image = await measure(file, name);
  let bitmap;
  try {
    bitmap = await createImageBitmap(image, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  } catch (error) {
    // An SVG without width and height loads, with no size to draw at.
    throw new Error(file.type == 'image/svg+xml' ? `${name} has no size of its own: give the SVG a width and height.`
                                                  : `${name} is not an image this browser can read.`);
  }
  try {
    const alone = canvasContext(size), overBlack = canvasContext(size);
    draw(alone, bitmap, size);
    const alpha = alone.getImageData(0, 0, size, size).data;
    const transparent = alpha.some((value, i) => i % 4 == 3 && value < 255);
    overBlack.fillStyle = '#000';
    overBlack.fillRect(0, 0, size, size);
    draw(overBlack, bitmap, size);
    const note = `${file.name ? `${file.name}, ` : ''}${whatWasDone(bitmap, size, transparent)}.`;
    const rgba = overBlack.getImageData(0, 0, size, size).data, top = (i, j) => ((size - 1 - j) * size + i) * 4;
    return { bytes: encodeBmp(size, (i, j) => [rgba[top(i, j)], rgba[top(i, j) + 1], rgba[top(i, j) + 2]]), note };
  } finally {
    bitmap.close();
  }
}
