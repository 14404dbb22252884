// What every page test shares: the web build served by request routing
// (tools/page.mjs), every console error, uncaught exception and refused request
// failing the test, the waits a visitor makes (the program's next picture, a
// message), images made in the browser, the native call fixtures and axe-core.
import { test as base, expect } from '@playwright/test';
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { deflateSync } from 'node:zlib';
import { drawn, origin, servePage } from '../../tools/page.mjs';

const webBuild = process.env.LIGHTMAP_WEB_BUILD || new URL('../../build-web', import.meta.url).pathname;

export { expect };
export const test = base.extend({
  // Files served in place of the build's own: { 'lightmap.wasm': { status, body } }.
  replaced: [{}, { option: true }],
  // Errors a test causes on purpose (patterns), such as the console's note of a 404.
  expectedErrors: [[], { option: true }],
  page: async ({ page, replaced, expectedErrors }, use) => {
    if (!existsSync(`${webBuild}/lightmap.wasm`)) {
      const reason = `no web build in ${webBuild}: make web`;
      if (process.env.LIGHTMAP_LAUNCHERS_REQUIRED) throw new Error(reason);
      console.log(`lightmap: skipped: ${reason}`); // what CTest knows a skip by
      test.skip(true, reason);
    }
    const errors = [];
    await servePage(page, webBuild, errors, replaced);
    await use(page);
    const unexpected = errors.filter(error => !expectedErrors.some(pattern => pattern.test(error)));
    expect(unexpected, 'console errors, uncaught exceptions and refused requests').toEqual([]);
  },
});

export const webFile = name => existsSync(`${webBuild}/${name}`) ? readFileSync(`${webBuild}/${name}`) : '';
export { drawn };

// The page, with `hash` ("What if" switches such as #filter=GL_NEAREST) in its address.
export async function open(page, { waitForFrame = true, hash = '' } = {}) {
  await page.goto(`${origin}/index.html${hash}`);
  if (waitForFrame) await drawn(page, 1);
}

export const runs = page => page.evaluate(() => lightmap.runs);

// Before the page's scripts: every WebGL context made goes into `contexts`, and
// the program's next instantiation once `holdNext` is set (with `holdFirst`,
// its first) waits for `release()`.
export const watchRuns = (page, holdFirst = false) => page.addInitScript(holdFirst => {
  Object.assign(window, { contexts: [], holdNext: holdFirst });
  const { getContext } = HTMLCanvasElement.prototype, { instantiate } = WebAssembly;
  HTMLCanvasElement.prototype.getContext = function (...args) {
    const context = getContext.apply(this, args);
    if (context instanceof WebGLRenderingContext && !contexts.includes(context)) contexts.push(context);
    return context;
  };
  WebAssembly.instantiate = (...args) => {
    if (!window.holdNext) return instantiate(...args);
    window.holdNext = false;
    return new Promise(resolve => { window.release = () => resolve(instantiate(...args)); });
  };
}, holdFirst);

// A PNG file for an input, drawn in the browser: a ramp, or with `alpha` below 1
// a see-through one.
export async function png(page, name, width, height, alpha = 1) {
  const bytes = await page.evaluate(async ({ width, height, alpha }) => {
    const canvas = new OffscreenCanvas(width, height), context = canvas.getContext('2d');
    const ramp = context.createLinearGradient(0, 0, width, height);
    ramp.addColorStop(0, `rgba(250, 200, 40, ${alpha})`);
    ramp.addColorStop(1, `rgba(30, 90, 220, ${alpha})`);
    context.fillStyle = ramp;
    context.fillRect(0, 0, width, height);
    const blob = await canvas.convertToBlob({ type: 'image/png' });
    return [...new Uint8Array(await blob.arrayBuffer())];
  }, { width, height, alpha });
  return { name, mimeType: 'image/png', buffer: Buffer.from(bytes) };
}

// A black PNG of 1-bit grey, made here: no canvas draws one 20000 pixels wide.
export function blackPng(name, width, height) {
  const crc = bytes => ~bytes.reduce((c, byte) => [...Array(8)].reduce(c => c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1,
                                                                        c ^ byte), ~0) >>> 0;
  const chunk = (type, data) => {
    const body = Buffer.concat([Buffer.from(type), data]), size = Buffer.alloc(4), sum = Buffer.alloc(4);
    size.writeUInt32BE(data.length);
    sum.writeUInt32BE(crc(body));
    return Buffer.concat([size, body, sum]);
  };
  const header = Buffer.from([0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0]); // bit depth 1, grey
  [width, height].forEach((side, i) => header.writeUInt32BE(side, 4 * i));
  const rows = Buffer.alloc((Math.ceil(width / 8) + 1) * height); // each row: filter 0, then zeros
  return { name, mimeType: 'image/png', buffer: Buffer.concat([Buffer.from('89504e470d0a1a0a', 'hex'),
    chunk('IHDR', header), chunk('IDAT', deflateSync(rows, { level: 9 })), chunk('IEND', Buffer.alloc(0))]) };
}

// The calls of a native trace fixture (tests/fixtures), as name and arguments,
// each argument without apitrace's "name = ".
export function fixtureCalls(name) {
  return readFileSync(new URL(`../fixtures/${name}`, import.meta.url), 'utf8').split('\n')
    .filter(line => line && !line.startsWith('#')).map(parseCall);
}

export function parseCall(text) {
  const match = /^(\w+)\((.*)\)$/.exec(text.trim());
  const args = match[2] ? match[2].split(/, (?![^{]*})/).map(arg => arg.replace(/^\w+ = /, '')) : [];
  return { name: match[1], args };
}

// axe-core's rules over the page as it is now: none may be broken.
export async function expectNoViolations(page) {
  await page.addScriptTag({ path: createRequire(import.meta.url).resolve('axe-core/axe.min.js') });
  const { violations } = await page.evaluate(() => axe.run());
  expect(violations.map(({ id, help, nodes }) => `${id}: ${help}: ${nodes.map(node => node.target).join(' ')}`))
    .toEqual([]);
}

// The text of each line of one of the "GL calls" lists ("Start-up", "Each frame").
export function listedCalls(page, list) {
  return page.getByRole('region', { name: 'GL calls' }).getByRole('list', { name: list })
    .getByRole('listitem').allTextContents();
}
