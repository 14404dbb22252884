// Small helpers the page's explaining parts share: elements, the image panels
// (each names the file the program reads for it, data-file in index.html), and
// numbers as the page writes them.
import { shortFloat } from './calls.js';
import { state } from './state.js';

export const $ = id => document.getElementById(id);
export const say = (where, text) => { $(where).textContent = text; };

// An element with `props` (class as `className`, attributes as `attrs`) and children.
export function el(tag, { attrs, ...props } = {}, ...children) {
  const element = Object.assign(document.createElement(tag), props);
  for (const [name, value] of Object.entries(attrs || {})) element.setAttribute(name, value);
  element.append(...children.flat().filter(child => child != null && child !== false));
  return element;
}

export const line = (...children) => el('p', { className: 'line' }, ...children);
export const fixed = (value, digits) => value.toFixed(digits);
export const rgb = (colour, digits = 0) => colour.map(value => fixed(value, digits)).join(' ');

// The image panels in the page's order ('light', 'wall'), and the file each is read as.
export const panelNames = () => [...document.querySelectorAll('[data-file]')].map(panel => panel.id.replace(/-panel$/, ''));
export const fileOf = which => $(`${which}-panel`).dataset.file;
export const panelOf = file => panelNames().find(which => fileOf(which) == file) || null;
// The size the program reads a panel's image at: as it last uploaded it, and
// before any run, the size its canvas keeps.
export const sizeOf = which => state.sizes[which] || $(`${which}-view`).width;

// 0.65625 as "0.65625 = 21/32" where it is a whole number of 1/size (with
// `bare`, "21/32" alone).
export function ofTexels(value, size, bare = false) {
  const count = value * size;
  if (!Number.isInteger(count) || count == 0 || count == size) return shortFloat(value);
  return bare ? `${count}/${size}` : `${shortFloat(value)} = ${count}/${size}`;
}

// A texture as the page names it: "texture 2: light.bmp, 32×32", or "texture 2: no image".
export const textureText = texture => texture.texels
  ? `texture ${texture.name}: ${texture.file ? `${texture.file}, ` : ''}${texture.width}×${texture.height}`
  : `texture ${texture.name}: no image`;

// The link downloads `bytes` (null: the link is hidden). A drag bakes faster
// than the browser makes blob addresses, so while a light is held the link
// waits for the bake it is let go on.
export function offer(link, bytes) {
  link.hidden = !bytes;
  if (state.offered[link.id] === bytes) return;
  if (link.href) URL.revokeObjectURL(link.href);
  link.removeAttribute('href');
  state.offered[link.id] = state.dragging ? null : bytes;
  if (bytes && !state.dragging) link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/bmp' }));
}
