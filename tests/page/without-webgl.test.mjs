// Chromium with WebGL turned off: the page says it needs WebGL, in place of the
// program's canvas, and stays accessible.
import { chromiumOptions } from '../../tools/page.mjs';
import { expect, expectNoViolations, open, test } from './fixtures.mjs';

test.use({ launchOptions: { ...chromiumOptions, args: [...chromiumOptions.args, '--disable-webgl'] } });

test('the page says so and offers no controls', async ({ page }) => {
  await open(page, { waitForFrame: false });
  await expect(page.getByText('This page needs WebGL')).toBeVisible();
  await expect(page.getByLabel('Wall', { exact: true })).toBeDisabled();
  await expect(page.getByRole('combobox', { disabled: true })).toHaveCount(5);
});

test('axe finds nothing to report', async ({ page }) => {
  await open(page, { waitForFrame: false });
  await expect(page.getByText('This page needs WebGL')).toBeVisible();
  await expectNoViolations(page);
});
