// The web build's page in Debian's Chromium, driven by playwright-core, for the
// page's tests (tests/page), the launcher the program's cases use in the browser
// (tests/support/page.mjs) and the page's benchmark (bench/page_load.mjs): the
// browser, the page served, and the one wait for a run's first frame.
// Playwright's request routing serves the page under a made-up host from a local
// folder, so no server runs, and a request for anything else is refused and
// recorded as an error.
import { chromium } from 'playwright-core';
import { existsSync, statSync } from 'node:fs';
import path from 'node:path';

export const origin = 'http://lightmap.test';

// Software WebGL (SwiftShader), and nothing that reaches for the network.
export const chromiumOptions = {
  executablePath: process.env.LIGHTMAP_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--disable-quic',
         '--no-first-run', '--disable-background-networking', '--disable-component-update',
         '--disable-sync', '--force-device-scale-factor=1'],
};

export const launchBrowser = () => chromium.launch(chromiumOptions);

// Until the page's `runs`th run of the program has drawn its first frame.
export const drawn = (page, runs, timeout = 10000) =>
  page.waitForFunction(runs => window.lightmap && lightmap.runs == runs && lightmap.frames > 0, runs, { timeout });

// Serves `folder` to `page`; `replaced` maps a file name to what is served in
// its place ({ body, status }). `errors` collects console errors, uncaught
// exceptions and refused requests as they come.
export async function servePage(page, folder, errors, replaced = {}) {
  page.on('console', message => message.type() == 'error' && errors.push(`console: ${message.text()}`));
  page.on('pageerror', error => errors.push(`uncaught: ${error.message}`));
  await page.route('**/*', async route => {
    const url = new URL(route.request().url()), name = url.pathname.slice(1);
    if (url.origin == origin && replaced[name]) return route.fulfill(replaced[name]);
    const file = path.join(folder, url.pathname);
    if (url.origin == origin && existsSync(file) && statSync(file).isFile()) return route.fulfill({ path: file });
    if (url.origin != origin) errors.push(`request to another host: ${url}`);
    return route.fulfill({ status: 404 });
  });
}

// A new page in `browser` on `file` (index.html) from `folder`, with `init` run
// before the page's own scripts and `replaced` as servePage takes it.
export async function openPage(browser, folder, init, { file = 'index.html', replaced } = {}) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
  const errors = [];
  await servePage(page, folder, errors, replaced);
  if (init) await page.addInitScript(init);
  await page.goto(`${origin}/${file}`);
  return { page, errors };
}
