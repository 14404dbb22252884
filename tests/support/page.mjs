// page.mjs WEB_BUILD FOLDER OUT [EXPRESSION...]: the web build's page, on the
// images' data package in FOLDER (which wins over WEB_BUILD), until the program's
// first frame has been flushed; then OUT/canvas.png (the canvas as shown),
// OUT/output.txt (the standard-output area), OUT/values.txt (each EXPRESSION's
// value, a line each) and OUT/errors.txt (console errors, uncaught exceptions,
// refused requests). Exits 1, saying why, when no frame comes within 10 s.
import { launchBrowser, openPage } from '../../tools/page.mjs';
import { writeFile } from 'node:fs/promises';

const [webBuild, folder, out, ...expressions] = process.argv.slice(2);

// Counts the frames the program flushes (its glFlush is the context's flush).
function countFlushes() {
  const flush = WebGLRenderingContext.prototype.flush;
  WebGLRenderingContext.prototype.flush = function () {
    flush.call(this);
    window.framesFlushed = (window.framesFlushed || 0) + 1;
  };
}

const browser = await launchBrowser();
try {
  const { page, errors } = await openPage(browser, [folder, webBuild], countFlushes);
  const died = new Promise((_, reject) => page.on('pageerror', reject));
  await Promise.race([died, page.waitForFunction(
    () => window.Module && Module.started && window.framesFlushed > 0, null, { timeout: 10000 })]);
  await page.locator('#canvas').screenshot({ path: `${out}/canvas.png` });
  const values = [];
  for (const expression of expressions) values.push(String(await page.evaluate(expression)));
  await writeFile(`${out}/values.txt`, values.join('\n'));
  await writeFile(`${out}/output.txt`, await page.locator('#output').inputValue());
  await writeFile(`${out}/errors.txt`, errors.join('\n'));
} catch (error) {
  console.error(`no frame: ${error.message}`);
  process.exitCode = 1;
} finally {
  await browser.close();
}
