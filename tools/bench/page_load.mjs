// page_load.mjs LOADS CHOICES FOLDER: the web build's page from FOLDER (see
// ../page.mjs) against pages this script makes: the bare page (lightmap.js
// started on the two images from a plain HTML file), the same without images
// (so no unit textures), and the floor (bench/floor.js, the same GLUT window
// under the same emulation drawing one untextured square). LOADS rounds, each
// loading them in turn (the order turning each round), every load in a fresh
// headless Chromium with a fresh profile, so nothing is cached: the median time
// from navigation start to the end of the first frame (the first glFlush, with a
// glFinish after it), and of each module compile's promise. Then,
// in the last page, CHOICES times each of: a wall chosen (the input's change
// event to the new run's first frame), a "What if" switch changed (likewise, and
// from that frame to the difference picture drawn), a pointer move (the event's
// time stamp to "How GL made this pixel" changed) and a call chosen (the click's
// time stamp to "This call" changed). Last, 200 runs in a row: the memory they keep.
import { launchBrowser, openPage } from '../page.mjs';
import { bakeFromHash, bakeTexels } from '../../web/bake.js';
import { readFileSync, readdirSync } from 'node:fs';
import { copyFile, mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';

const [loads, choices, folder] = process.argv.slice(2);
if (!(loads > 0) || !(choices > 0) || !folder) {
  console.error('usage: page_load.mjs LOADS CHOICES FOLDER');
  process.exit(2);
}

// The bare page on `names` (none: the program finds no image, so no unit textures).
const barePage = names => `<!doctype html><meta charset="utf-8"><title>bare</title>
<canvas id="canvas" width="500" height="500"></canvas>
<script>const names = ${JSON.stringify(names)};
const images = names.map(name => fetch(name).then(response => response.arrayBuffer()));</script>
<script src="lightmap.js"></script>
<script>
Promise.all(images).then(images => createLightmap({
  canvas: document.getElementById('canvas'),
  preRun: [module => images.forEach((bytes, i) => module.FS.writeFile(names[i], new Uint8Array(bytes)))],
}));
</script>`;
const floorPage = `<!doctype html><meta charset="utf-8"><title>floor</title>
<canvas id="canvas" width="500" height="500"></canvas>
<script src="floor.js"></script>
<script>createFloor({ canvas: document.getElementById('canvas') });</script>`;
const variants = {
  page: { file: 'index.html' },
  bare: { file: 'bare.html', replaced: { 'bare.html': { body: barePage(['light.bmp', 'wall.bmp']), contentType: 'text/html' } } },
  noimages: { file: 'noimages.html', replaced: { 'noimages.html': { body: barePage([]), contentType: 'text/html' } } },
  floor: { file: 'bench/floor.html', replaced: { 'bench/floor.html': { body: floorPage, contentType: 'text/html' } } },
};

// Before any of the page's scripts: compiling modules, each context's first
// flush, choices, moves and clicks.
function probe() {
  const spent = window.spent = { compile: 0 };
  for (const name of ['compile', 'compileStreaming', 'instantiate', 'instantiateStreaming']) {
    const real = WebAssembly[name];
    WebAssembly[name] = function (...args) {
      const start = performance.now(), result = real.apply(this, args);
      result.then(() => { spent.compile += performance.now() - start; }, () => {});
      return result;
    };
  }
  const gl = WebGLRenderingContext.prototype;
  const flush = gl.flush;
  gl.flush = function () {
    flush.call(this);
    if (this.firstFrameMs === undefined) {
      if (!window.dragging) this.finish();
      this.firstFrameMs = performance.now();
      if (window.firstFrameMs === undefined) window.firstFrameMs = this.firstFrameMs;
      (window.firstFrames ||= []).push(this.firstFrameMs);
    }
  };
  addEventListener('change', () => { window.changeMs = performance.now(); }, true);
  window.shownMs = { working: [], 'call-now': [] };
  window.differenceMs = [];
  addEventListener('pointermove', event => { window.eventMs = event.timeStamp; }, true);
  addEventListener('click', event => { window.eventMs = event.timeStamp; }, true);
  addEventListener('DOMContentLoaded', () => {
    for (const id of Object.keys(shownMs)) {
      new MutationObserver(() => shownMs[id].push(performance.now() - window.eventMs))
        .observe(document.getElementById(id), { childList: true, characterData: true, subtree: true });
    }
    new MutationObserver(() => differenceMs.push(performance.now()))
      .observe(document.getElementById('difference-caption'), { childList: true, characterData: true, subtree: true });
  });
}

const median = times => times.sort((a, b) => a - b)[Math.floor(times.length / 2)].toFixed(1);
const firstFrame = (page, runs) => page.waitForFunction(runs => {
  const state = window.lightmap, context = state.program && state.program.ctx;
  return state.runs == runs && state.started && context && context.firstFrameMs;
}, runs, { timeout: 10000 }).then(handle => handle.jsonValue());

// The page's own timings, in its last load.
async function interact(page) {
  const choiceTimes = [];
  for (let choice = 1; choice <= choices; ++choice) {
    await page.getByLabel('Wall', { exact: true }).setInputFiles(walls[choice % 2]);
    const frameMs = await firstFrame(page, 1 + choice);
    choiceTimes.push(frameMs - await page.evaluate(() => window.changeMs));
  }
  const switchTimes = [], differenceTimes = [], modes = ['GL_REPLACE', 'GL_ADD', 'GL_DECAL'];
  for (let change = 1; change <= choices; ++change) {
    const drawnBefore = await page.evaluate(() => differenceMs.length);
    await page.getByLabel('Unit 1 mode').selectOption(modes[change % modes.length]);
    const frameMs = await firstFrame(page, 1 + Number(choices) + change);
    switchTimes.push(frameMs - await page.evaluate(() => window.changeMs));
    await page.waitForFunction(count => differenceMs.length > count, drawnBefore);
    differenceTimes.push(await page.evaluate(() => differenceMs[differenceMs.length - 1]) - frameMs);
  }
  console.log(`switch-first-frame-ms ${median(switchTimes)}\ndifference-shown-ms ${median(differenceTimes)}`);
  await page.locator('#canvas').scrollIntoViewIfNeeded();
  const box = await page.locator('#canvas').boundingBox();
  await page.evaluate(() => { shownMs.working = []; }); // the runs above showed the pinned pixel's working
  for (let move = 1; move <= choices; ++move) {
    await page.mouse.move(box.x + 100 + move * 13, box.y + 400 - move * 11);
    await page.waitForFunction(moves => shownMs.working.length >= moves, move);
  }
  const calls = page.getByRole('list', { name: 'Each frame' }).getByRole('button');
  for (let click = 1; click <= choices; ++click) {
    await calls.nth(click % await calls.count()).click();
    await page.waitForFunction(clicks => shownMs['call-now'].length >= clicks, click);
  }
  const shown = await page.evaluate(() => shownMs);
  console.log(`choice-first-frame-ms ${median(choiceTimes)}\nchoices ${choices}`);
  console.log(`probe-working-ms ${median(shown.working)}\ncall-state-ms ${median(shown['call-now'])}`);
  await drag(page);
}

// A light of "Make a light map" dragged round for 2 s, a pointer move every 16 ms:
// the program's new frames a second on screen while it moves (no glFinish here),
// and, once it rests, whether the light map of the last run is the bake of the
// last position (bake.js's, at unit 0's range as the last run drew).
async function drag(page) {
  // As a learner starts: the program as written (with a switch changed, each bake
  // is two runs, the changed one and the one as written it is compared with).
  await page.getByRole('button', { name: 'As written' }).click();
  await page.getByRole('button', { name: 'Add a light' }).click();
  const handle = page.getByRole('button', { name: /^Light 1 at/ }), view = page.locator('#bake-view');
  await handle.scrollIntoViewIfNeeded();
  await page.waitForTimeout(1000);
  const from = await handle.boundingBox(), box = await view.boundingBox();
  await page.mouse.move(from.x + from.width / 2, from.y + from.height / 2);
  await page.mouse.down();
  // Frames on screen: each run's canvas takes the place of the one before at its first frame.
  await page.evaluate(() => {
    window.dragging = true;
    window.swaps = 0;
    new MutationObserver(() => { ++swaps; window.swapMs = performance.now(); })
      .observe(document.getElementById('result-view'), { childList: true });
  });
  const before = await page.evaluate(() => swaps), start = performance.now();
  // A hand's moves come at the display's rate, whatever the page is doing: the
  // page's own timer sends them to the held handle (its handlers read only where).
  await page.evaluate(box => {
    const handle = document.querySelector('.handle'), from = performance.now();
    window.moving = setInterval(() => {
      const turn = (performance.now() - from) / 1000;
      handle.dispatchEvent(new PointerEvent('pointermove', { bubbles: true, pointerId: 1,
        clientX: box.x + box.width * (0.5 + 0.3 * Math.cos(turn * 2)), clientY: box.y + box.height * (0.5 + 0.3 * Math.sin(turn * 2)) }));
    }, 16);
  }, box);
  await page.waitForTimeout(2000);
  await page.evaluate(() => clearInterval(window.moving));
  const seconds = (performance.now() - start) / 1000, frames = await page.evaluate(n => swaps - n, before);
  // Still held, at rest: one move at a time, from its event to its run's canvas on screen.
  await page.waitForTimeout(1000);
  const moveTimes = [];
  for (let move = 1; move <= 11; ++move) {
    moveTimes.push(await page.evaluate(([box, move]) => new Promise(resolve => {
      const seen = swaps, at = performance.now(), handle = document.querySelector('.handle');
      handle.dispatchEvent(new PointerEvent('pointermove', { bubbles: true, pointerId: 1,
        clientX: box.x + box.width * (0.3 + move * 0.03), clientY: box.y + box.height * 0.4 }));
      const wait = () => (swaps > seen ? resolve(swapMs - at) : setTimeout(wait, 1));
      wait();
    }), [box, move]));
  }
  await page.mouse.up();
  await page.waitForTimeout(2000);
  const last = await page.evaluate(() => ({
    hash: location.hash, texels: [...lightmap.record.startup.find(call => call.file == 'light.bmp').texels],
    unit0: lightmap.record.frame.filter(call => call.name == 'glMultiTexCoord2fARB' && call.args[0] == 0x84C0)
      .map(call => call.args.slice(1)) }));
  const span = k => [Math.min(...last.unit0.map(st => st[k])), Math.max(...last.unit0.map(st => st[k]))];
  const size = Math.sqrt(last.texels.length / 3), expected = bakeTexels(bakeFromHash(last.hash).bake, size, { s: span(0), t: span(1) });
  const drawn = expected.length == last.texels.length && expected.every((value, k) => value == last.texels[k]);
  console.log(`drag-frames-per-second ${(frames / seconds).toFixed(1)}\ndrag-last-drawn ${drawn ? 1 : 0}`);
  console.log(`drag-move-frame-ms ${median(moveTimes)}\nbake-4-lights-ms ${bakeTime({ s: span(0), t: span(1) })}`);
}

// bake.js's bake of four lights at unit 0's `range` (Node's V8, as the page's
// Chromium runs it), median of 21, in ms.
function bakeTime(range) {
  const { bake } = bakeFromHash('#lights=0.2,0.2,0.1,0.5,ff2020;0.8,0.2,0.2,0.6,20ff20;0.2,0.8,0.3,0.7,2020ff;' +
                                '0.8,0.8,0.4,0.8,ffffff&ambient=101010');
  const times = [];
  for (let k = 0; k < 21; ++k) {
    const from = performance.now();
    bakeTexels(bake, 32, range);
    times.push(performance.now() - from);
  }
  return times.sort((a, b) => a - b)[10].toFixed(2);
}

// What every Chromium renderer on this machine holds (MB): the bench runs one
// browser at a time.
const renderers = () => readdirSync('/proc').filter(name => /^\d+$/.test(name)).reduce((sum, pid) => {
  try {
    if (!readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer')) return sum;
    return sum + Number(/VmRSS:\s+(\d+)/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'))[1]) / 1024;
  } catch {
    return sum; // gone meanwhile
  }
}, 0);

// 200 runs in a row by Reset in a fresh page: the JS heap and the renderers'
// memory after 10 and after 200, each after a garbage collection.
async function manyRuns(browser) {
  const { page } = await openPage(browser, folder);
  await page.waitForFunction(() => lightmap.frames > 0, null, { timeout: 10000 });
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  for (let run = 2; run <= 200; ++run) {
    await page.getByRole('button', { name: 'Reset' }).click();
    await page.waitForFunction(runs => lightmap.runs == runs && lightmap.frames > 0, run, { timeout: 10000 });
    if (run != 10 && run != 200) continue;
    await cdp.send('HeapProfiler.collectGarbage');
    const { metrics } = await cdp.send('Performance.getMetrics');
    const heap = metrics.find(metric => metric.name == 'JSHeapUsedSize').value / 1e6;
    console.log(`runs-${run}-heap-mb ${heap.toFixed(1)}\nruns-${run}-renderers-mb ${renderers().toFixed(1)}`);
  }
}

// The input fires no change for the file it already holds: two names, in turn.
const copies = await mkdtemp(`${tmpdir()}/page_load-`);
await copyFile(`${folder}/wall.bmp`, `${copies}/wall.bmp`);
const walls = [`${copies}/wall.bmp`, `${folder}/wall.bmp`];
try {
  const times = Object.fromEntries(Object.keys(variants).map(name => [name, { frame: [], compile: [] }]));
  for (let round = 1; round <= loads; ++round) {
    const names = Object.keys(variants), turn = round % names.length, order = names.slice(turn).concat(names.slice(0, turn));
    for (const name of order) {
      const browser = await launchBrowser();
      try {
        const { page } = await openPage(browser, folder, probe, variants[name]);
        const frame = await page.waitForFunction(() => window.firstFrameMs, null, { timeout: 10000 });
        times[name].frame.push(await frame.jsonValue());
        await page.waitForTimeout(50); // a compile's promise may settle just after
        const spent = await page.evaluate(() => spent);
        for (const kind of Object.keys(spent)) times[name][kind].push(spent[kind]);
        if (name == 'page' && round == loads) await interact(page);
      } finally {
        await browser.close();
      }
    }
  }
  const browser = await launchBrowser();
  await manyRuns(browser).finally(() => browser.close());
  console.log(`page-loads ${loads}`);
  for (const [name, measures] of Object.entries(times)) {
    for (const [kind, values] of Object.entries(measures)) console.log(`${name}-${kind}-ms ${median(values)}`);
  }
} catch (error) {
  console.error(`page_load: ${error.stack}`);
  process.exitCode = 1;
} finally {
  await rm(copies, { recursive: true });
}
