// The page around the web build: it turns the images a visitor chooses into
// exactly what the program reads ("light.bmp" 32x32 and "wall.bmp" 256x256,
// standard 24-bit BMPs), and runs the real program on them from start-up, a new
// instance (createLightmap, lightmap.js) on a new canvas each time. It also says
// in words where the page cannot work: no WebGL, a lost context, a missing file.
//
// For the curious and the tests, window.lightmap holds `runs` (program runs
// started), `started` (the current run's main has returned) and `program` (its
// Emscripten instance).
var lightmapPage = (function () {
  'use strict';
  const sizes = { light: 32, wall: 256 };
  const limitSide = 8192, limitBytes = 50 * 1000 * 1000;
  const images = { light: null, wall: null }; // BMP bytes as the program reads them; null: left out
  const demo = {};
  let wasmBinary = null;
  window.lightmap = { runs: 0, started: false, program: null };

  const $ = id => document.getElementById(id);
  const say = (where, text) => { $(where).textContent = text; };

  // The 54-byte headers of a standard 24-bit BMP, rows bottom to top, blue-green-red;
  // the rows of both sizes are whole multiples of four bytes, so there is no padding.
  function encodeBmp(rgba, size) {
    const bytes = new Uint8Array(54 + size * size * 3), view = new DataView(bytes.buffer);
    bytes.set([0x42, 0x4d]);
    view.setUint32(2, bytes.length, true);
    view.setUint32(10, 54, true);
    view.setUint32(14, 40, true);
    view.setInt32(18, size, true);
    view.setInt32(22, size, true);
    view.setUint16(26, 1, true);
    view.setUint16(28, 24, true);
    view.setUint32(34, size * size * 3, true);
    view.setUint32(38, 2835, true); // 72 dpi, in pixels per metre
    view.setUint32(42, 2835, true);
    let at = 54;
    for (let row = size - 1; row >= 0; --row) {
      for (let x = 0; x < size; ++x, at += 3) {
        const i = (row * size + x) * 4;
        bytes[at] = rgba[i + 2];
        bytes[at + 1] = rgba[i + 1];
        bytes[at + 2] = rgba[i];
      }
    }
    return bytes;
  }

  // Any image the browser decodes, as the program's BMP: taken pixel for pixel at
  // the right size, else its centre square scaled; transparency over black; no
  // colour management. Throws an Error whose message is for the visitor.
  async function convert(file, size) {
    const name = file.name ? `“${file.name}”` : 'This file';
    if (file.size > limitBytes) throw new Error(`${name} is over 50 MB.`);
    let bitmap;
    try {
      bitmap = await createImageBitmap(file, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    } catch (error) {
      throw new Error(`${name} is not an image this browser can read.`);
    }
    if (bitmap.width > limitSide || bitmap.height > limitSide) {
      throw new Error(`${name} is ${bitmap.width}×${bitmap.height}: over 8192 pixels on a side.`);
    }
    const canvas = document.createElement('canvas');
    canvas.width = canvas.height = size;
    const context = canvas.getContext('2d', { willReadFrequently: true });
    context.fillStyle = '#000';
    context.fillRect(0, 0, size, size);
    if (bitmap.width == size && bitmap.height == size) {
      context.drawImage(bitmap, 0, 0);
    } else {
      const side = Math.min(bitmap.width, bitmap.height);
      context.imageSmoothingQuality = 'high';
      context.drawImage(bitmap, (bitmap.width - side) / 2, (bitmap.height - side) / 2, side, side,
                        0, 0, size, size);
    }
    return encodeBmp(context.getImageData(0, 0, size, size).data, size);
  }

  // The panel shows what the program reads, and offers it for download.
  function show(which) {
    const bytes = images[which], size = sizes[which], view = $(`${which}-view`);
    const context = view.getContext('2d'), link = $(`${which}-download`);
    context.clearRect(0, 0, size, size);
    if (link.href) URL.revokeObjectURL(link.href);
    link.hidden = !bytes;
    if (!bytes) return link.removeAttribute('href');
    const pixels = context.createImageData(size, size);
    for (let i = 0; i < size * size; ++i) {
      const x = i % size, row = size - 1 - Math.floor(i / size), at = 54 + (row * size + x) * 3;
      pixels.data.set([bytes[at + 2], bytes[at + 1], bytes[at], 255], i * 4);
    }
    context.putImageData(pixels, 0, 0);
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/bmp' }));
  }

  // The program from start-up on the current pair, on a fresh canvas and so a
  // fresh WebGL context; the old instance's context is let go.
  async function run() {
    const state = window.lightmap, old = $('canvas'), canvas = old.cloneNode(false);
    if (state.program && state.program.ctx) state.program.ctx.getExtension('WEBGL_lose_context')?.loseContext();
    old.replaceWith(canvas);
    // Only the canvas on the page speaks: a replaced one's context is let go on purpose.
    canvas.addEventListener('webglcontextlost', event => {
      if (!canvas.isConnected) return;
      event.preventDefault(); // so that the browser may restore it
      say('status', 'The WebGL context was lost. The picture comes back when the browser restores it.');
    });
    canvas.addEventListener('webglcontextrestored', () => {
      if (!canvas.isConnected) return;
      say('status', '');
      run();
    });
    const thisRun = ++state.runs;
    state.started = false;
    $('output').value = '';
    const files = { 'light.bmp': images.light, 'wall.bmp': images.wall };
    const program = await createLightmap({
      canvas, wasmBinary,
      print: text => { $('output').value += text + '\n'; },
      // The GL emulation writes notices to standard error on every start: warnings,
      // so that a console error on this page is always a fault.
      printErr: text => console.warn(text),
      preRun: [module => {
        for (const [name, bytes] of Object.entries(files)) if (bytes) module.FS.writeFile(name, bytes);
      }],
      postRun: [() => { state.started = thisRun == state.runs; }],
    });
    if (thisRun == state.runs) state.program = program;
  }

  async function choose(which, file) {
    say(`${which}-message`, '');
    try {
      images[which] = await convert(file, sizes[which]);
    } catch (error) {
      return say(`${which}-message`, error.message);
    }
    show(which);
    run();
  }

  // The panel back to `bytes` (the demo's, or null: left out), its input cleared.
  function restore(which, bytes) {
    images[which] = bytes;
    $(`${which}-file`).value = '';
    say(`${which}-message`, '');
    show(which);
  }

  async function fetchBytes(name) {
    const response = await fetch(name).catch(() => null);
    if (!response || !response.ok) {
      throw new Error(`Could not load ${name}${response ? ` (HTTP ${response.status})` : ''}.`);
    }
    return new Uint8Array(await response.arrayBuffer());
  }

  function webglMissing() {
    const probe = document.createElement('canvas').getContext('webgl');
    if (probe) probe.getExtension('WEBGL_lose_context')?.loseContext();
    return !probe;
  }

  function wire(which) {
    const panel = $(`${which}-panel`), input = $(`${which}-file`);
    input.addEventListener('change', () => { if (input.files[0]) choose(which, input.files[0]); });
    $(`${which}-none`).addEventListener('click', () => {
      restore(which, null);
      run();
    });
    panel.addEventListener('dragover', event => { event.preventDefault(); panel.classList.add('dropping'); });
    panel.addEventListener('dragleave', () => panel.classList.remove('dropping'));
    panel.addEventListener('drop', event => {
      event.preventDefault();
      panel.classList.remove('dropping');
      if (event.dataTransfer.files[0]) choose(which, event.dataTransfer.files[0]);
    });
  }

  return {
    failed(name) { say('status', `Could not load ${name}.`); },

    async start() {
      if (typeof createLightmap != 'function') return; // failed() has said why
      if (webglMissing()) {
        for (const control of document.querySelectorAll('input, button')) control.disabled = true;
        const note = document.createElement('p');
        note.id = 'no-webgl';
        note.textContent = 'This page needs WebGL, which this browser does not offer or has turned off.';
        $('canvas').replaceWith(note);
        return;
      }
      try {
        [wasmBinary, demo.light, demo.wall] = await Promise.all(
          ['lightmap.wasm', 'light.bmp', 'wall.bmp'].map(fetchBytes));
      } catch (error) {
        return say('status', error.message);
      }
      Object.assign(images, demo);
      wire('light');
      wire('wall');
      $('reset').addEventListener('click', () => {
        for (const which of ['light', 'wall']) restore(which, demo[which]);
        run();
      });
      show('light');
      show('wall');
      run();
    },
  };
})();
