// The page at a desktop's width and a phone's, for the keyboard, and to axe-core.
import { drawn, expect, expectNoViolations, open, png, test } from './fixtures.mjs';

test('at 1280 px the canvas is 500×500 CSS pixels at a whole-pixel position', async ({ page }) => {
  await open(page);
  const box = await page.locator('#canvas').boundingBox();
  expect(box).toEqual({ x: Math.round(box.x), y: Math.round(box.y), width: 500, height: 500 });
});

test.describe('at 390×844, a phone', () => {
  test.use({ viewport: { width: 390, height: 844 } });

  test('nothing scrolls sideways, and the canvas shrinks with square pixels', async ({ page }) => {
    await open(page);
    expect(await page.evaluate(() => document.documentElement.scrollWidth)).toBeLessThanOrEqual(390);
    const box = await page.locator('#canvas').boundingBox();
    expect(box.x + box.width).toBeLessThanOrEqual(390);
    expect(box.width).toBe(box.height);
  });

  test('the equation reads in order: light map, wall, result', async ({ page }) => {
    await open(page);
    const tops = [];
    for (const name of [/^the light map/, /^the wall/, /^the program's picture/]) {
      tops.push((await page.getByRole('img', { name }).boundingBox()).y);
    }
    expect([...tops].sort((a, b) => a - b)).toEqual(tops);
  });
});

// At 1280 px, at 390 px, after a refused file, and with calls changed and left out.
for (const [when, viewport, refused, hash] of [['at 1280 px'], ['at 390×844', { width: 390, height: 844 }],
                                               ['after a refused file', undefined, ['wide.png', 8193, 1]],
                                               ['under What if', undefined, undefined, '#select=no&filter=GL_NEAREST']]) {
  test.describe(when, () => {
    if (viewport) test.use({ viewport });
    test('axe finds nothing to report', async ({ page }) => {
      await open(page, { hash });
      if (refused) {
        await page.getByLabel('Light map', { exact: true }).setInputFiles(await png(page, ...refused));
        await expect(page.locator('#light-message')).not.toBeEmpty();
      }
      await expectNoViolations(page);
    });
  });
}

// Tab from the top of the page reaches each control in order (each list of calls
// once), and Enter on "Leave out" runs the program again.
test('every control is reached with Tab and works from the keyboard', async ({ page }) => {
  await open(page);
  const reached = [];
  for (let i = 0; i < 17; ++i) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => document.activeElement.id || document.activeElement.textContent));
  }
  expect(reached).toEqual(['as-written', 'what-if-filter', 'what-if-mode', 'what-if-coords', 'what-if-select',
                           'what-if-enable', 'light-file', 'light-none', 'light-download', 'wall-file', 'wall-none',
                           'wall-download', 'canvas', 'reset', 'glutInit(…, …)', 'glClear(GL_COLOR_BUFFER_BIT)',
                           'output']);
  await page.getByRole('button', { name: 'Leave out the wall' }).focus();
  await page.keyboard.press('Enter');
  await drawn(page, 2);
  await expect(page.locator('#wall-note')).toContainText('Left out');
});
