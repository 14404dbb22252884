// The "GL calls" the page lists, recorded from the running program, against the
// native trace fixtures (tests/fixtures, apitrace's names): the same program
// makes the same calls in the browser as on Mesa.
import { drawn, expect, expectNoViolations, fixtureCalls, listedCalls, open, parseCall, test } from './fixtures.mjs';

// Calls as comparable text: the units by their core names (apitrace writes
// GL_TEXTURE0 for GL_TEXTURE0_ARB, the same value), each texture by the order
// glGenTextures handed it out in, since each platform numbers them its own way.
function comparable(calls) {
  const generated = calls.find(call => call.name == 'glGenTextures')?.args[1].slice(1, -1).split(', ') || [];
  return calls.map(({ name, args }) => `${name}(${args.map((arg, i) => {
    if (name == 'glBindTexture' && i == 1) return `generated name ${generated.indexOf(arg) + 1}`;
    if (name == 'glGenTextures' && i == 1) return `${generated.length} names`;
    return arg.replace(/_ARB$/, '');
  }).join(', ')})`);
}

test('each frame makes the native trace\'s calls, call for call', async ({ page }) => {
  await open(page);
  const startup = (await listedCalls(page, 'Start-up')).map(parseCall);
  const frame = (await listedCalls(page, 'Each frame')).map(parseCall);
  const native = ['view.calls', 'frame.calls'].flatMap(fixtureCalls);
  expect(comparable(startup.concat(frame)).slice(-frame.length))
    .toEqual(comparable(native).slice(-fixtureCalls('frame.calls').length));
});

test('start-up sets up the window, checks the extension and uploads both images', async ({ page }) => {
  await open(page);
  const startup = await listedCalls(page, 'Start-up');
  expect(startup.filter(call => call.startsWith('glut'))).toEqual([
    'glutInit(…, …)', 'glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE)', 'glutInitWindowSize(500, 500)',
    'glutInitWindowPosition(100, 100)',
    'glutCreateWindow("OpenGL Demo - Light Mapping (ARB_Multitexture)")',
    'glutDisplayFunc(…)', 'glutMainLoop()']);
  expect(startup.indexOf('glutCreateWindow("OpenGL Demo - Light Mapping (ARB_Multitexture)")'))
    .toBe(startup.indexOf('glGetString(GL_EXTENSIONS)') - 1);
  // The native start-up less its two entry-point lookups, which on the web
  // happen inside the module and are no calls into it.
  const native = ['startup.calls', 'view.calls', 'light.calls', 'wall.calls'].flatMap(fixtureCalls)
    .filter(call => !call.name.startsWith('glX'));
  const gl = startup.filter(call => !call.startsWith('glut')).map(parseCall);
  expect(comparable(gl)).toEqual(comparable(native).map(call => call.replace(/blob\(\d+\)/, '…')));
});

// The web layer mends the emulation's glTexEnvf, which alone would leave unit 0
// modulating (white light cannot show it): the modes are read back after a frame.
test('the emulation keeps each unit\'s mode: REPLACE, then MODULATE', async ({ page }) => {
  await open(page);
  expect(await page.evaluate(() => lightmap.program.textureEnvModes())).toEqual([0x1E01, 0x2100]);
});

// Each frame's calls one at a time: the second glActiveTextureARB makes unit 1
// the active unit, the arrow key moves on to the glBindTexture it sets up, and
// axe finds nothing to report with a call chosen.
test('choosing a call shows the state right after it', async ({ page }) => {
  await open(page);
  const frame = page.getByRole('list', { name: 'Each frame' }), thisCall = page.getByRole('region', { name: 'This call' });
  await frame.getByRole('button', { name: /^glActiveTextureARB/ }).nth(1).click();
  await expect(thisCall).toContainText('active unit: 1 ← changed');
  await page.keyboard.press('ArrowDown');
  await expect(frame.getByRole('button', { name: /^glBindTexture/ }).nth(1)).toBeFocused();
  await expect(thisCall.getByRole('group', { name: 'Unit 1' })).toContainText(/texture \d+: wall\.bmp, 256×256 ← changed/);
  await expectNoViolations(page);
});

// Under "What if", from the address: a changed call shows the program's argument
// → GL's, and one GL never got is struck through and says so in words.
for (const [hash, list, text, struck] of [
  ['#filter=GL_NEAREST', 'Start-up', 'glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR → GL_NEAREST)'],
  ['#coords=0-to-1', 'Each frame', 'glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 0.65625 → 1, 0.03125 → 0)'],
  ['#select=no', 'Each frame', 'glActiveTextureARB(GL_TEXTURE1_ARB) left out: not passed to GL',
   'glActiveTextureARB(GL_TEXTURE1_ARB)']]) {
  test(`under ${hash} "${list}" lists ${text}`, async ({ page }) => {
    await open(page, { hash });
    expect(await listedCalls(page, list)).toContain(text);
    await expect(page.getByRole('list', { name: list }).getByRole('deletion')).toHaveText(struck ? [struck] : []);
  });
}

test('switches and the address changed in quick succession end in the last one\'s state', async ({ page }) => {
  await open(page);
  await page.getByLabel('Light map filter').selectOption('GL_NEAREST');
  await page.getByLabel('Unit 1 mode').selectOption('GL_ADD');
  await page.evaluate(() => { location.hash = '#select=no'; });
  await drawn(page, 4);
  const listed = [...await listedCalls(page, 'Start-up'), ...await listedCalls(page, 'Each frame')];
  expect(listed.filter(call => /→|left out/.test(call)))
    .toEqual(['glActiveTextureARB(GL_TEXTURE1_ARB) left out: not passed to GL']);
});

test('GL_NEAREST without a light map changes no glTexParameteri, and is not said to', async ({ page }) => {
  await open(page, { hash: '#filter=GL_NEAREST' });
  await page.getByRole('button', { name: 'Leave out the light map' }).click();
  await drawn(page, 2);
  await expect(page.locator('#result-changed')).toHaveText('As written: What if changes none of its calls.');
  await expect(page.locator('#what-if-filter-none')).toBeVisible();
});

test('the difference waits for the program as written however late it draws', async ({ page }) => {
  await page.addInitScript(() => { // no animation frame for 4 s, as in a tab in the background
    const later = performance.now() + 4000, frame = requestAnimationFrame;
    window.requestAnimationFrame = done => frame(function wait(time) { return performance.now() < later ? frame(wait) : done(time); });
  });
  await open(page, { hash: '#mode=GL_ADD' });
  await expect(page.locator('#difference-caption')).toContainText('pixels differ');
});
