// page.mjs WEB_BUILD LIGHT WALL OUT: the page in headless Chromium, LIGHT and WALL
// (image files, or "none" for "Leave out") chosen as a visitor would, each run
// waited for. Writes OUT/canvas.png (the canvas without the page's marks over it),
// OUT/output.txt (the standard-output area) and OUT/errors.txt (console errors,
// uncaught exceptions, refused requests, the page's messages). Exits 1 when the
// page does not draw within 10 s, saying why.
import { drawn, launchBrowser, openPage } from '../../tools/page.mjs';
import { writeFile } from 'node:fs/promises';

const [webBuild, light, wall, out] = process.argv.slice(2);
let browser = null, page = null, errors = [];
try {
  browser = await launchBrowser();
  ({ page, errors } = await openPage(browser, webBuild));
  await drawn(page, 1);
  let runs = 1;
  for (const [panel, file] of [['Light map', light], ['Wall', wall]]) {
    if (file == 'none') await page.getByRole('button', { name: `Leave out the ${panel.toLowerCase()}` }).click();
    else await page.getByLabel(panel, { exact: true }).setInputFiles(file);
    await drawn(page, ++runs);
  }
  await page.addStyleTag({ content: '#result-view > :not(canvas) { visibility: hidden; }' }); // the page's marks
  const box = await page.locator('#canvas').boundingBox();
  const clip = { x: Math.round(box.x), y: Math.round(box.y), width: box.width, height: box.height };
  await page.screenshot({ path: `${out}/canvas.png`, clip, fullPage: true });
  for (const message of await page.locator('.message').allTextContents()) {
    if (message.trim()) errors.push(`the page says: ${message}`);
  }
  await writeFile(`${out}/output.txt`, await page.locator('#output').inputValue());
  await writeFile(`${out}/errors.txt`, errors.join('\n'));
} catch (error) {
  const state = await page?.evaluate(() => ({ status: document.getElementById('status').textContent,
                                                runs: lightmap.runs, frames: lightmap.frames })).catch(() => null);
  console.error([`the page did not draw: ${error.message}`, ...errors,
                 state ? `status "${state.status}", run ${state.runs}, frames ${state.frames}` : 'no page'].join('\n'));
  process.exitCode = 1;
} finally {
  await browser?.close();
}
