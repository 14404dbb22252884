// The page's state, in one object: every module that remembers anything keeps it
// here, and the controls show it (they are never read back as a second copy).
export const state = {
  runs: 0,            // runs started; only the latest counts (`current` in page.js)
  images: {},         // each panel's image: { bytes (null: left out), note, action }
  pair: 0,            // numbers the pairs of images
  reference: null,    // the program as written on a pair: { pair, pixels, model }
  pending: null,      // the one on the current pair while it runs: { pair, promise }
  pairChanged: null,  // lets that one go
  choices: {},        // "What if", as the address keeps it
  sizes: {},          // each panel's image size, as the program last uploaded it
  shown: null,        // the frame on screen: { record, canvas, model, scene, units, panels, reference, counts }
  probe: { pinned: null, preview: null }, // canvas pixels { x, y } from the top left
  calls: { steps: [], chosen: null, onVertex: () => {} },
  started: false,     // the first frame is on screen: the panels are drawn
  view: null,         // view.js, imported once the first frame is on screen
  lettingGo: new WeakSet(), // canvases whose context is let go on purpose
  noWebgl: false,
};
