// page_load.mjs RUNS FOLDER...: loads the web build's page from FOLDERs (see
// ../page.mjs) RUNS times, each time in a fresh headless Chromium with a fresh
// profile, so nothing is cached, and prints the median time from navigation start
// to the end of the first frame: the program's first glFlush, with a glFinish
// after it, as the native first-frame probe takes it.
import { launchBrowser, openPage } from '../page.mjs';

const [runs, ...folders] = process.argv.slice(2);
if (!(runs > 0) || folders.length == 0) {
  console.error('usage: page_load.mjs RUNS FOLDER...');
  process.exit(2);
}

// Notes the time when the page's first flush has finished.
function firstFrameProbe() {
  const flush = WebGLRenderingContext.prototype.flush;
  WebGLRenderingContext.prototype.flush = function () {
    flush.call(this);
    if (window.firstFrameMs === undefined) {
      this.finish();
      window.firstFrameMs = performance.now();
    }
  };
}

const times = [];
for (let run = 1; run <= runs; ++run) {
  const browser = await launchBrowser();
  try {
    const { page } = await openPage(browser, folders, firstFrameProbe);
    times.push(await page.waitForFunction(() => window.firstFrameMs, null, { timeout: 10000 })
      .then(handle => handle.jsonValue()));
  } catch (error) {
    console.error(`page_load: no first frame in load ${run}: ${error.message}`);
    process.exit(1);
  } finally {
    await browser.close();
  }
}
times.sort((a, b) => a - b);
console.log(`page-first-frame-ms ${times[Math.floor(times.length / 2)].toFixed(1)}\npage-loads ${runs}`);
