// The probe on the program's picture: its readout and its working against the
// CPU model (tests/page/model_probe), its three colours against each other, the
// pinned pixel under the pointer, a tap, a swipe and the keys, the outline of the
// light map's shown part, and a texture of four bytes a texel.
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync } from 'node:fs';
import { drawn, expect, fixtureCalls, open, test } from './fixtures.mjs';

const tolerance = 3;
const readout = page => page.getByRole('status', { name: 'Pixel' });

// The light, wall and result colours of a readout, each [r, g, b].
function colours(text) {
  const match = /light (\d+) (\d+) (\d+) × wall (\d+) (\d+) (\d+) = (\d+) (\d+) (\d+)$/.exec(text);
  expect(match, `a readout of light × wall = result: "${text}"`).not.toBeNull();
  const n = match.slice(1).map(Number);
  return { light: n.slice(0, 3), wall: n.slice(3, 6), result: n.slice(6) };
}

function expectClose(observed, expected, what) {
  const worst = Math.max(...observed.map((value, i) => Math.abs(value - expected[i])));
  expect(worst, `${what}: observed ${observed}, expected ${expected}`).toBeLessThanOrEqual(tolerance);
}

// The pointer moved (or with `click`, clicked) to pixel (x, y) of the picture.
async function pointAt(page, x, y, click = false) {
  await page.locator('#canvas').scrollIntoViewIfNeeded();
  const box = await page.locator('#canvas').boundingBox();
  await page.mouse[click ? 'click' : 'move'](box.x + x + 0.5, box.y + y + 0.5);
  await expect(readout(page)).toContainText(`x ${x}, y ${y}:`);
  return readout(page).textContent();
}

// As written, under each "What if" switch and two at once, and baked, from the address: the canvas
// and the working against the CPU model; as written the samples, baked the program's light map, too.
const bake = '#lights=0.25,0.25,0.1,0.5,ff2020;0.7,0.6,0.3,0.8,40a0ff&ambient=101010';
const changes = ['', '#filter=GL_NEAREST', '#mode=GL_ADD', '#coords=0-to-1', '#select=no', '#enable=no',
                 '#select=no&mode=GL_DECAL', bake];
const lightGot = page => page.evaluate(() => [...lightmap.record.startup.find(call => call.file == 'light.bmp').texels]);
const expectBake = (got, model) => expect(Math.max(...got.map((v, k) => Math.abs(v - model.baked[k])))).toBeLessThan(2);
for (const hash of changes) {
  test(`the readout agrees with the CPU model ${hash ? `under ${hash}` : 'as written'}`, async ({ page }, testInfo) => {
    const points = [[250, 250], [100, 100], [399, 399], [100, 399], [399, 100], [137, 263], [312, 180],
                    [99, 250], [250, 400], [400, 250], [250, 99], [5, 495]];
    const folder = testInfo.outputPath('images');
    mkdirSync(folder, { recursive: true });
    const model = JSON.parse(execFileSync(process.env.LIGHTMAP_MODEL_PROBE,
                                          [folder, ...(hash ? [hash] : []), ...points.map(point => point.join(','))]));
    await open(page, { hash, waitForFrame: hash != bake }); // a bake follows the first run's first frame
    for (const [key, value] of new URLSearchParams(hash.replace(bake, '').slice(1))) {
      await expect(page.getByRole('group', { name: 'What if' }).locator(`#what-if-${key}`)).toHaveValue(value);
    }
    if (hash != bake) await page.getByLabel('Light map', { exact: true }).setInputFiles(`${folder}/light.png`);
    await drawn(page, 2);
    await page.getByLabel('Wall', { exact: true }).setInputFiles(`${folder}/wall.png`);
    await drawn(page, 3);
    if (model.baked) expectBake(await lightGot(page), model);
    for (const [x, y] of points) {
      const text = await pointAt(page, x, y), expected = model[`${x},${y}`];
      if (!expected.inside) {
        expect(text).toBe(`x ${x}, y ${y}: outside the square, no light or wall to sample = 0 0 0`);
        continue;
      }
      const seen = hash ? { result: text.split(' = ')[1].split(' ').map(Number) } : colours(text);
      for (const what in seen) expectClose(seen[what], expected[what], `${what} at ${x}, ${y}`);
      await expectWorking(page, expected, `at ${x}, ${y}`);
    }
  });
}

// "How GL made this pixel": each unit's coordinates and texels, [i, j, weight,
// r, g, b] as the model blends them, weights summing to 1, and the stored byte;
// a unit that samples nothing in the model is off in the working too.
async function expectWorking(page, expected, where) {
  const working = page.getByRole('region', { name: 'How GL made this pixel' });
  for (const unit of [0, 1]) {
    const text = await working.getByRole('group', { name: new RegExp(`^Unit ${unit}`) }).textContent();
    const model = expected[`unit${unit}`];
    if (!model) {
      expect(text, `unit ${unit} ${where}`).toContain('acts as if texturing were off');
      continue;
    }
    const [, s, t] = /s = ([\d.]+), t = ([\d.]+)/.exec(text).map(Number);
    expect(Math.abs(s - model.s) + Math.abs(t - model.t), `unit ${unit} (s, t) ${where}: ${text}`).toBeLessThan(1.01e-4);
    const texels = [...text.matchAll(/\((\d+), (\d+)\) weight ([\d.]+)[^:]*: (\d+) (\d+) (\d+)/g)]
      .map(match => match.slice(1).map(Number));
    // Texels by position and colour, with their weights; at a texel's edge the
    // one with no weight may be either neighbour.
    const blended = list => Object.fromEntries(list.filter(texel => texel[2] > 5e-4)
      .map(([i, j, weight, ...rgb]) => [`(${i}, ${j}): ${rgb.join(' ')}`, weight]));
    const [seen, modelled] = [blended(texels), blended(model.texels)];
    expect(Object.keys(seen).sort(), `unit ${unit}'s texels ${where}`).toEqual(Object.keys(modelled).sort());
    for (const key in seen) expect(Math.abs(seen[key] - modelled[key]), `${key}'s weight ${where}`).toBeLessThan(5.1e-4);
    expect(Math.abs(texels.reduce((sum, texel) => sum + texel[2], 0) - 1), `the weights' sum ${where}`).toBeLessThan(2.1e-3);
  }
  const [, ...stored] = /rounded to 8 bits: (\d+) (\d+) (\d+)/.exec(await working.textContent()).map(Number);
  expectClose(stored, expected.result, `the stored byte ${where}`);
}

test('on the demo\'s images, light × wall / 255 = result at every probed pixel', async ({ page }) => {
  await open(page);
  for (let i = 0; i < 25; ++i) {
    const x = 100 + (i * 67) % 300, y = 100 + (i * 131) % 300;
    const { light, wall, result } = colours(await pointAt(page, x, y));
    expectClose(result, light.map((value, c) => Math.round(value * wall[c] / 255)), `product at ${x}, ${y}`);
  }
});

test('the bake follows its lights, saves what the program read, and says what it drops', async ({ page }, testInfo) => {
  await open(page, { hash: bake, waitForFrame: false });
  await drawn(page, 2);
  await page.getByRole('button', { name: 'Light 1 at 0.25, 0.25' }).press('ArrowRight');
  await expect(page).toHaveURL(/#lights=0\.26,0\.25,/);
  await drawn(page, 3);
  await page.locator('#light-view').hover({ position: { x: 1, y: 1 } }); // texel (0, 31), both lights' working
  await expect(page.locator('#bake-texel')).toHaveText(/^How texel \(0, 31\) was baked.*Light 2 at \(0\.7, 0\.6\).*d = √/);
  expectBake(await lightGot(page), JSON.parse(execFileSync(process.env.LIGHTMAP_MODEL_PROBE,
                                                           [testInfo.outputPath(), new URL(page.url()).hash])));
  const [saved] = await Promise.all([page.waitForEvent('download'), page.getByText('Save light.bmp').click()]);
  const file = readFileSync(await saved.path()), texels = await lightGot(page);
  expect([...file.subarray(54)]).toEqual(texels.map((_, k) => texels[k - k % 3 + 2 - k % 3])); // blue-green-red
  await page.evaluate(() => { location.hash = '#lights=0.5,0.5,0,0.5,ffffff;1,2,3&ambient=fff'; });
  await expect(page.locator('#bake-message')).toContainText(/height 0 is outside 0.01 to 2: 0.01 taken.*"1,2,3" is not X,Y/);
  await drawn(page, 4);
});

// Pinned at load on the square's centre; the pointer previews, a click pins, and
// the working stays on the pinned pixel once the pointer has left the picture.
test('a click pins a pixel for the working; Escape lets it go, and the keys move it', async ({ page }) => {
  await open(page);
  const working = page.getByRole('region', { name: 'How GL made this pixel' });
  await expect(working).toContainText('x 250, y 250 from the top left');
  await pointAt(page, 208, 198, true);
  await pointAt(page, 8, 293);
  await page.mouse.move(1, 1);
  await expect(working).toContainText('x 208, y 198 from the top left');
  const scrolled = await page.evaluate(() => scrollY);
  for (const [key, at] of [['ArrowRight', 'x 209, y 198'], ['ArrowDown', 'x 209, y 199'], ['PageDown', 'x 209, y 209'],
                           ['PageUp', 'x 209, y 199'], ['End', 'x 499, y 199'], ['Home', 'x 0, y 199']]) {
    await page.keyboard.press(key);
    await expect(readout(page), key).toContainText(`${at}:`);
  }
  expect(await page.evaluate(() => scrollY)).toBe(scrolled);
  await page.keyboard.press('Escape');
  await pointAt(page, 300, 300);
  await page.mouse.move(1, 1);
  await expect(working).toContainText('x 300, y 300 from the top left');
});

test.describe('on a touch screen', () => {
  test.use({ hasTouch: true, viewport: { width: 390, height: 844 } });
  test('a tap pins the pixel under the finger, and a swipe on the picture scrolls', async ({ page }) => {
    await open(page);
    const box = await page.locator('#canvas').boundingBox(), scale = 500 / box.width;
    await page.touchscreen.tap(box.x + 320.5 / scale, box.y + 140.5 / scale);
    await expect(readout(page)).toContainText('x 320, y 140: light');
    const cdp = await page.context().newCDPSession(page);
    for (const [type, y] of [['touchStart', 300], ...[1, 2, 3, 4, 5].map(k => ['touchMove', 300 - 30 * k]), ['touchEnd']]) {
      await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: y ? [{ x: box.x + 100, y: box.y + y }] : [] });
    }
    await expect.poll(() => page.evaluate(() => scrollY)).toBeGreaterThan(100);
    await expect(readout(page)).toContainText('x 320, y 140: light');
  });
});

test('a texture of four bytes a texel is sampled at the texel\'s own bytes', async () => {
  const [{ filterAt }, { GL }] = await Promise.all([import('../../web/probe.js'), import('../../web/gl.js')]);
  const texture = { width: 2, height: 1, channels: 4, texels: Uint8Array.of(10, 20, 30, 255, 40, 50, 60, 255),
                    mag: GL.NEAREST, wrapS: GL.REPEAT, wrapT: GL.REPEAT };
  expect(filterAt(texture, 0.75, 0.5, 0.5).colour).toEqual([40, 50, 60]);
});

// Where unit 0's coordinates (the native trace's) put the square on the light
// map: s across, t up from the image's first row, which the panel shows at the bottom.
test('the light map\'s outline marks the part its texture coordinates pick', async ({ page }) => {
  await open(page);
  const unit0 = fixtureCalls('frame.calls').filter(call => call.name == 'glMultiTexCoord2fARB' &&
                                                            call.args[0] == 'GL_TEXTURE0');
  const s = unit0.map(call => Number(call.args[1])), t = unit0.map(call => Number(call.args[2]));
  const view = await page.getByRole('img', { name: /the light map/ }).boundingBox();
  const outline = await page.locator('#light-outline').boundingBox();
  const expected = { x: Math.min(...s) * view.width, y: (1 - Math.max(...t)) * view.height,
                     width: (Math.max(...s) - Math.min(...s)) * view.width,
                     height: (Math.max(...t) - Math.min(...t)) * view.height };
  for (const key of ['x', 'y', 'width', 'height']) {
    const at = key == 'x' || key == 'y' ? view[key] : 0;
    expect(Math.abs(outline[key] - at - expected[key]), key).toBeLessThanOrEqual(0.5);
  }
  const texels = `${Math.min(...s) * 32} to ${Math.max(...s) * 32 - 1}`;
  await expect(page.locator('#light-caption')).toContainText(`texels, ${texels} on each axis`);
});
