// Where the page cannot show the program's picture it says why, in words, with
// no uncaught exception or unhandled rejection (the fixture fails on either);
// and the WebGL contexts it no longer needs are let go.
import { drawn, expect, open, test, watchRuns, webFile } from './fixtures.mjs';

const status = page => page.locator('#status');

// Files served in place of the build's own, and the message each must give. A
// hook by another name stands for an Emscripten whose GL emulation has changed:
// the web layer checks the pieces it mends before it mends them.
const broken = [
  ['a corrupt lightmap.wasm, served as a good one would be', [],
   { 'lightmap.wasm': { status: 200, contentType: 'application/wasm', body: 'not wasm' } },
   'The program could not run: '],
  ['a missing lightmap.js', [/status of 404/], { 'lightmap.js': { status: 404 } },
   'The program could not run: Could not load lightmap.js.'],
  ['a GL emulation other than the one the web layer mends', [],
   { 'lightmap.js': { contentType: 'text/javascript',
                      body: webFile('lightmap.js').toString().replace('"hook_texEnvf",', '"hook_renamed",') } },
   'this GL emulation is not the one it was written for'],
];
for (const [what, expectedErrors, replaced, message] of broken) {
  test.describe(what, () => {
    test.use({ replaced, expectedErrors });
    test('gives a message', async ({ page }) => {
      await open(page, { waitForFrame: false });
      await expect(status(page)).toContainText(message);
    });
  });
}

// While it starts, and while it draws its frame (in an animation frame, after
// its start has resolved); a run that fails to start lets its context go.
const thrown = [
  ['starting', ['texImage2D'], [], 'The program could not run: the driver refused it', 0],
  ['drawing', ['drawArrays', 'drawElements'], [/uncaught: the driver refused it/],
   'The program stopped: Uncaught Error: the driver refused it', 1],
];
for (const [when, calls, expectedErrors, message, contextsLeft] of thrown) {
  test.describe(`an exception while ${when}`, () => {
    test.use({ expectedErrors });
    test('gives a message', async ({ page }) => {
      await watchRuns(page);
      await page.addInitScript(calls => calls.forEach(name => {
        WebGLRenderingContext.prototype[name] = () => { throw new Error('the driver refused it'); };
      }), calls);
      await open(page, { waitForFrame: false });
      await expect(status(page)).toHaveText(message);
      await expect.poll(() => page.evaluate(() => contexts.filter(context => !context.isContextLost()).length))
        .toBe(contextsLeft);
    });
  });
}

test('a lost context comes back by itself', async ({ page }) => {
  await open(page);
  const lose = await page.evaluateHandle(() => lightmap.program.ctx.getExtension('WEBGL_lose_context'));
  await lose.evaluate(extension => extension.loseContext());
  await expect(status(page)).toContainText('The WebGL context was lost.');
  await lose.evaluate(extension => extension.restoreContext());
  await drawn(page, 2);
  await expect(status(page)).toHaveText('');
});

// The second run's instantiation is held back until a third run has drawn: the
// second then starts on a canvas no longer shown, and must let its context go.
test('a run overtaken before it started lets its context go', async ({ page }) => {
  await watchRuns(page);
  await open(page);
  await page.evaluate(() => { window.holdNext = true; });
  await page.getByRole('button', { name: 'Leave out the wall' }).click();
  await page.getByRole('button', { name: 'Reset' }).click();
  await drawn(page, 3);
  await page.evaluate(() => window.release());
  await page.waitForFunction(() => contexts.length == 3); // one for each run
  // Only the context of the canvas on the page is left.
  await expect.poll(() => page.evaluate(() => contexts.filter(context => !context.isContextLost())
    .map(context => context.canvas.isConnected))).toEqual([true]);
});
