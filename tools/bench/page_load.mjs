// page_load.mjs LOADS CHOICES FOLDER: the web build's page from FOLDER (see
// ../page.mjs). First LOADS loads, each in a fresh headless Chromium with a fresh
// profile, so nothing is cached: the median time from navigation start to the end
// of the first frame (the program's first glFlush, with a glFinish after it, as
// the native first-frame probe takes it). Then, in the last page, CHOICES times a
// wall chosen in the page's "Wall" input: the median time from the input's change
// event to the end of the first frame of the program's new run; and CHOICES
// pointer moves over the picture: the median time from the pointermove event to
// the probe's readout changed.
import { launchBrowser, openPage } from '../page.mjs';
import { copyFile, mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';

const [loads, choices, folder] = process.argv.slice(2);
if (!(loads > 0) || !(choices > 0) || !folder) {
  console.error('usage: page_load.mjs LOADS CHOICES FOLDER');
  process.exit(2);
}

// Notes when each context's first flush has finished, and each file choice.
function probe() {
  const flush = WebGLRenderingContext.prototype.flush;
  WebGLRenderingContext.prototype.flush = function () {
    flush.call(this);
    if (this.firstFrameMs === undefined) {
      this.finish();
      this.firstFrameMs = window.firstFrameMs = performance.now();
    }
  };
  addEventListener('change', () => { window.changeMs = performance.now(); }, true);
  window.probeMs = [];
  addEventListener('pointermove', event => { window.moveMs = event.timeStamp; }, true);
  addEventListener('DOMContentLoaded', () => {
    new MutationObserver(() => probeMs.push(performance.now() - window.moveMs))
      .observe(document.getElementById('pixel'), { childList: true, characterData: true, subtree: true });
  });
}

const median = times => times.sort((a, b) => a - b)[Math.floor(times.length / 2)].toFixed(1);
const firstFrame = (page, runs) => page.waitForFunction(runs => {
  const state = window.lightmap, context = state.program && state.program.ctx;
  return state.runs == runs && state.started && context && context.firstFrameMs;
}, runs, { timeout: 10000 }).then(handle => handle.jsonValue());

// The input fires no change for the file it already holds: two names, in turn.
const copies = await mkdtemp(`${tmpdir()}/page_load-`);
await copyFile(`${folder}/wall.bmp`, `${copies}/wall.bmp`);
const walls = [`${copies}/wall.bmp`, `${folder}/wall.bmp`];
try {
  const loadTimes = [], choiceTimes = [], probeTimes = [];
  for (let load = 1; load <= loads; ++load) {
    const browser = await launchBrowser();
    try {
      const { page } = await openPage(browser, folder, probe);
      loadTimes.push(await firstFrame(page, 1));
      if (load < loads) continue;
      for (let choice = 1; choice <= choices; ++choice) {
        await page.getByLabel('Wall', { exact: true }).setInputFiles(walls[choice % 2]);
        const frameMs = await firstFrame(page, 1 + choice);
        choiceTimes.push(frameMs - await page.evaluate(() => window.changeMs));
      }
      const box = await page.locator('#canvas').boundingBox();
      for (let move = 1; move <= choices; ++move) {
        await page.mouse.move(box.x + 100 + move * 13, box.y + 400 - move * 11);
        await page.waitForFunction(moves => probeMs.length == moves, move);
      }
      probeTimes.push(...await page.evaluate(() => probeMs));
    } finally {
      await browser.close();
    }
  }
  console.log(`page-first-frame-ms ${median(loadTimes)}\npage-loads ${loads}`);
  console.log(`choice-first-frame-ms ${median(choiceTimes)}\nchoices ${choices}`);
  console.log(`probe-readout-ms ${median(probeTimes)}`);
} catch (error) {
  console.error(`page_load: ${error.message}`);
  process.exitCode = 1;
} finally {
  await rm(copies, { recursive: true });
}
