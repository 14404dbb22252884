// A visitor's own images: what the page says it did with each, what it refuses,
// what "Leave out" does, and that the BMP offered for download is exactly what
// the program reads.
import { readFileSync } from 'node:fs';
import { blackPng, drawn, expect, listedCalls, open, png, runs, test, watchRuns } from './fixtures.mjs';

const noteFor = [
  ['a 64×64 light map', 'Light map', 64, 64, 1, 'l64.png, 64×64, scaled to 32×32.'],
  ['a 300×200 wall', 'Wall', 300, 200, 1, 'w300.png, 300×200: the centre 200×200, scaled to 256×256.'],
  ['a 32×32 light map', 'Light map', 32, 32, 1, 'l32.png, 32×32, taken pixel for pixel.'],
  ['a see-through wall', 'Wall', 256, 256, 0.5,
   'w256.png, 256×256, taken pixel for pixel; transparent parts shown over black.'],
];
for (const [what, panel, width, height, alpha, note] of noteFor) {
  test(`says what was done with ${what}`, async ({ page }) => {
    await open(page);
    const name = `${panel == 'Wall' ? 'w' : 'l'}${width}.png`;
    await page.getByLabel(panel, { exact: true }).setInputFiles(await png(page, name, width, height, alpha));
    await drawn(page, 2);
    await expect(page.locator(panel == 'Wall' ? '#wall-note' : '#light-note')).toHaveText(note);
  });
}

const refused = [
  ['a text file', { name: 'notes.txt', mimeType: 'text/plain', buffer: Buffer.from('no image here\n') },
   '“notes.txt” is not an image this browser can read.'],
  ['an empty file', { name: 'empty.png', mimeType: 'image/png', buffer: Buffer.alloc(0) },
   '“empty.png” is not an image this browser can read.'],
  ['an image over 8192 pixels on a side, before decoding it', blackPng('huge.png', 20000, 20000),
   '“huge.png” is 20000×20000: over 8192 pixels on a side.'],
];
for (const [what, file, message] of refused) {
  test(`refuses ${what} with a message, the picture and the input left as they were`, async ({ page }) => {
    await open(page);
    const input = page.getByLabel('Wall', { exact: true });
    await input.setInputFiles(file);
    await expect(page.locator('#wall-message')).toHaveText(message);
    await expect(input).toHaveValue('');
    expect(await runs(page)).toBe(1);
  });
}

test('each "Leave out" has a name of its own and runs the program without that file', async ({ page }) => {
  await open(page);
  await page.getByRole('button', { name: 'Leave out the light map' }).click();
  await drawn(page, 2);
  await expect(page.locator('#light-note')).toHaveText(
    'Left out: the program runs without light.bmp, as it would with the file missing.');
  const uploads = (await listedCalls(page, 'Start-up')).filter(call => call.startsWith('glTexImage2D'));
  expect(uploads).toEqual(['glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, …)']);
  await expect(page.getByRole('region', { name: 'Texture units' }).getByRole('group', { name: 'Unit 0' }))
    .toContainText(/texture \d+: no image/);
  await expect(page.getByRole('button', { name: 'Leave out the wall' })).toBeEnabled();
});

// The program's first instantiation is held back: a "Leave out" while it loads
// is what the first picture and the panel show.
test('a "Leave out" while the program loads is not undone', async ({ page }) => {
  await watchRuns(page, true);
  await open(page, { waitForFrame: false });
  await page.getByRole('button', { name: 'Leave out the light map' }).click();
  await drawn(page, 2);
  await expect(page.locator('#what-if-filter')).toBeAttached(); // built once the first run is over, or after 1 s
  await expect(page.locator('#light-note')).toHaveText(/^Left out/);
});

// The wall's conversion is held back while Reset comes: the conversion, let go
// after it, changes nothing.
test('Reset while a chosen image is still converting wins', async ({ page }) => {
  await page.addInitScript(() => {
    const create = window.createImageBitmap;
    window.createImageBitmap = (...args) => new Promise(resolve => {
      window.release = () => resolve(create(...args));
    });
  });
  await open(page);
  await page.getByLabel('Wall', { exact: true }).setInputFiles(await png(page, 'w300.png', 300, 200));
  await page.waitForFunction(() => window.release);
  await page.getByRole('button', { name: 'Reset' }).click();
  await drawn(page, 2);
  await page.evaluate(() => { release(); return new Promise(resolve => setTimeout(resolve, 100)); });
  expect(await runs(page)).toBe(2);
  await expect(page.locator('#wall-note')).toHaveText('The demo\'s own wall.bmp.');
});

// A BMP with a 124-byte BITMAPV5HEADER (as ImageMagick writes by default), its
// pixels from byte 138: `pixels(x, y)` gives each pixel, y = 0 at the bottom.
function bmpV5(size, pixels) {
  const bytes = Buffer.alloc(138 + size * size * 3);
  bytes.write('BM');
  // [offset, bytes, value]: file size, pixels' offset, header size, width, height, planes, bits a pixel.
  for (const [at, length, value] of [[2, 4, bytes.length], [10, 4, 138], [14, 4, 124], [18, 4, size], [22, 4, size],
                                     [26, 2, 1], [28, 2, 24]]) bytes.writeUIntLE(value, at, length);
  bytes.write('BGRs', 70); // LCS_sRGB, little-endian
  for (let y = 0, at = 138; y < size; ++y) {
    for (let x = 0; x < size; ++x, at += 3) bytes.set(pixels(x, y).reverse(), at);
  }
  return bytes;
}

test('the downloaded wall.bmp is the 54-byte header and exactly the pixels of the chosen image', async ({ page }) => {
  await open(page);
  const pixels = (x, y) => [x, 90, (Math.floor(x / 32) + Math.floor(y / 32)) % 2 ? y : 250];
  await page.getByLabel('Wall', { exact: true }).setInputFiles(
    { name: 'v5.bmp', mimeType: 'image/bmp', buffer: bmpV5(256, pixels) });
  await drawn(page, 2);
  const [download] = await Promise.all([page.waitForEvent('download'), page.getByText('wall.bmp', { exact: true }).click()]);
  const file = readFileSync(await download.path());
  expect(download.suggestedFilename()).toBe('wall.bmp');
  expect(file.length).toBe(54 + 256 * 256 * 3);
  expect(file.readUInt32LE(10)).toBe(54);
  expect(file.subarray(54).equals(bmpV5(256, pixels).subarray(138))).toBe(true);
});
