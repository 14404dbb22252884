// page.mjs WEB_BUILD FOLDER OUT [STEP...]: the web build's page in headless
// Chromium, driven the way a visitor would: each STEP in turn, then the page
// left to settle (the program's run shows its first frame, or the page says why
// not). Steps: chromium=FLAG (launch with FLAG), light=FILE or wall=FILE (choose
// it in the "Light map" or "Wall" input), light=none or wall=none ("Leave out"),
// each skipped where the page has turned its controls off,
// lose-context (lose the WebGL context, then restore it), download=light or
// download=wall (the panel's link, saved into FOLDER as downloaded-NAME.bmp),
// eval=EXPRESSION (its value). Writes OUT/canvas.png (the canvas as shown),
// OUT/output.txt (the standard-output area), OUT/values.txt (one line per eval)
// and OUT/errors.txt (console errors, uncaught exceptions, refused requests).
// Exits 1, saying why, when the page does not settle within 10 s.
import { launchBrowser, openPage } from '../../tools/page.mjs';
import { writeFile } from 'node:fs/promises';

const [webBuild, folder, out, ...steps] = process.argv.slice(2);
const flags = steps.filter(step => step.startsWith('chromium=')).map(step => step.slice(9));

// Run in the page before its own scripts: counts each WebGL context's flushes (the
// program's glFlush is its context's flush), and reads what a step changes: the
// program's runs, whether the current one has shown a frame, what the page says.
function instrument() {
  const flush = WebGLRenderingContext.prototype.flush;
  WebGLRenderingContext.prototype.flush = function () {
    flush.call(this);
    this.framesFlushed = (this.framesFlushed || 0) + 1;
  };
  window.observedState = () => {
    const state = window.lightmap, context = state && state.program && state.program.ctx;
    return {
      runs: state ? state.runs : 0,
      shown: !!(state && state.started && context && context.framesFlushed > 0),
      said: [...document.querySelectorAll('.message, #no-webgl')].map(e => e.textContent).join('\n'),
    };
  };
}

// Until a new run's first frame is flushed, or the page says something new.
async function settle(page, before) {
  await page.waitForFunction(before => {
    const now = observedState();
    return (now.runs > before.runs && now.shown) || (now.said != before.said && now.said.trim() != '');
  }, before, { timeout: 10000 });
}

async function perform(page, step, values) {
  const at = step.indexOf('='), action = at < 0 ? step : step.slice(0, at), argument = step.slice(at + 1);
  const panel = { light: 'Light map', wall: 'Wall' }[action];
  if (action == 'chromium') return;
  if (action == 'eval') return values.push(String(await page.evaluate(argument)));
  if (action == 'download') {
    const [download] = await Promise.all([page.waitForEvent('download'), page.click(`#${argument}-download`)]);
    return download.saveAs(`${folder}/downloaded-${argument}.bmp`);
  }
  const before = await page.evaluate(() => observedState());
  const control = panel && (argument == 'none' ? page.locator(`#${action}-none`)
                                                : page.getByLabel(panel, { exact: true }));
  if (control && await control.isDisabled()) return; // the page offers no choice
  if (panel && argument == 'none') await control.click();
  else if (panel) await control.setInputFiles(argument);
  else if (step == 'lose-context') {
    await page.evaluate(async () => {
      const lose = lightmap.program.ctx.getExtension('WEBGL_lose_context');
      lose.loseContext();
      await new Promise(resolve => setTimeout(resolve, 100));
      lose.restoreContext();
    });
  } else throw new Error(`unknown step ${step}`);
  await settle(page, before);
}

const browser = await launchBrowser(flags);
try {
  const { page, errors } = await openPage(browser, [webBuild], instrument);
  const died = new Promise((_, reject) => page.on('pageerror', reject));
  await Promise.race([died, settle(page, { runs: 0, said: '' })]);
  const values = [];
  for (const step of steps) await Promise.race([died, perform(page, step, values)]);
  const canvas = page.locator('#canvas');
  const box = await canvas.count() ? await canvas.boundingBox() : null; // none without WebGL
  if (box) {
    const clip = { x: Math.round(box.x), y: Math.round(box.y), width: box.width, height: box.height };
    await page.screenshot({ path: `${out}/canvas.png`, clip, fullPage: true });
  }
  await writeFile(`${out}/values.txt`, values.map(value => value + '\n').join(''));
  await writeFile(`${out}/output.txt`, await page.locator('#output').inputValue());
  await writeFile(`${out}/errors.txt`, errors.join('\n'));
} catch (error) {
  console.error(`the page did not settle: ${error.message}`);
  process.exitCode = 1;
} finally {
  await browser.close();
}
