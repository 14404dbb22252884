// The page at a laptop's size and a phone's, for the keyboard, and to axe-core.
import { drawn, expect, expectNoViolations, open, png, test } from './fixtures.mjs';

// The first view, as loaded: the three pictures whole, the canvas square at whole
// pixels (500 CSS pixels where there is room), the images side by side with the
// result, then "What if" beside them or after them; no room for the difference,
// nothing wider than the screen, and no layout shift without an action.
for (const [where, viewport, beside] of [['a 1280×800 laptop', { width: 1280, height: 800 }, true],
                                         ['a 390×844 phone', { width: 390, height: 844 }, false]]) {
  test.describe(`on ${where}`, () => {
    test.use({ viewport, hasTouch: !beside });
    test('the pictures come first, whole, and nothing moves after load', async ({ page }) => {
      await open(page);
      await expect(page.locator('#what-if-filter')).toBeAttached();
      const pictures = [/^the light map/, /^the wall/, /^the program/].map(name => page.getByRole('img', { name }));
      for (const picture of pictures) await expect(picture).toBeInViewport({ ratio: 1 });
      const [light, wall, result] = await Promise.all(pictures.map(picture => picture.boundingBox()));
      expect([result.x % 1, result.y % 1, result.width]).toEqual([0, 0, beside ? 500 : result.height]);
      expect([light.y, light.x + light.width < wall.x]).toEqual([wall.y, true]);
      expect(beside ? result.x > wall.x : result.y > wall.y + wall.height).toBe(true);
      const whatIf = await page.getByRole('group', { name: 'What if' }).boundingBox();
      expect(beside ? whatIf.x >= result.x + result.width : whatIf.y >= result.y + result.height).toBe(true);
      await expect(page.locator('#difference')).toBeHidden();
      expect(await page.evaluate(() => document.documentElement.scrollWidth)).toBeLessThanOrEqual(viewport.width);
      expect(await page.evaluate(() => new Promise(resolve => {
        const shifts = [];
        new PerformanceObserver(list => shifts.push(...list.getEntries().filter(entry => !entry.hadRecentInput)))
          .observe({ type: 'layout-shift', buffered: true });
        setTimeout(() => resolve(shifts.map(shift => shift.value)), 200);
      }))).toEqual([]);
    });
  });
}

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
  for (let i = 0; i < 19; ++i) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => document.activeElement.id || document.activeElement.textContent));
  }
  expect(reached).toEqual(['light-file', 'light-none', 'light-download', 'wall-file', 'wall-none', 'wall-download',
                           'canvas', 'bake-add', 'bake-ambient', 'as-written', 'what-if-filter', 'what-if-mode',
                           'what-if-coords', 'what-if-select', 'what-if-enable', 'reset', 'glutInit(…, …)',
                           'glClear(GL_COLOR_BUFFER_BIT)', 'output']);
  await page.getByRole('button', { name: 'Leave out the wall' }).focus();
  await page.keyboard.press('Enter');
  await drawn(page, 2);
  await expect(page.locator('#wall-note')).toContainText('Left out');
});
