// The page's state, in one object: every module that remembers anything keeps it
// here, and the controls show it (they are never read back as a second copy).
export const state = {
  runs: 0,            // runs started; only the latest counts (`current` in page.js)
  images: {},         // each panel's image: { bytes (null: left out), note, action, demo, bake }
  pair: 0,            // numbers the pairs of images
  reference: null,    // the program as written on a pair: { pair, pixels, model }
  pending: null,      // the one on the current pair while it runs: { pair, promise }
  pairChanged: null,  // lets that one go
  choices: {},        // "What if", as the address keeps it
  sizes: {},          // each panel's image size, as the program last uploaded it
  range: null,        // unit 0's coordinates over the square, as written (glstate.js rangeOf)
  bake: null,         // the lights baked into the light map: { lights, ambient } (bake.js), or none
  baking: null,       // while a bake's run is on its way, and whether another waits
  bakeAgain: false,
  dragging: null,     // the handle held: { n, moved }
  viewFrame: 0,       // the animation frame that draws the bake's view again
  exactTimer: 0,      // the light map against the exact light, shown once a drag rests
  faintWall: null,    // the wall as "Make a light map" draws it: { bytes, image }
  offered: {},        // the bytes each download link (by id) links to
  onScreen: null,     // the instance whose canvas is on screen
  shown: null,        // the frame on screen: { record, canvas, model, scene, units, panels, reference, counts }
  probe: { pinned: null, preview: null }, // canvas pixels { x, y } from the top left
  calls: { steps: [], chosen: null, onVertex: () => {} },
  started: false,     // the first frame is on screen: the panels are drawn
  view: null,         // view.js, imported once the first frame is on screen
  lettingGo: new WeakSet(), // canvases whose context is let go on purpose
  noWebgl: false,
};
