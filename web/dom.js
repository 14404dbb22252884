// Small helpers the page's explaining parts share: elements, GL's names for the
// values the program passed, and numbers as the page writes them.
import { enums, shortFloat } from './calls.js';

export const $ = id => document.getElementById(id);

// An element with `props` (class as `className`, attributes as `attrs`) and children.
export function el(tag, { attrs, ...props } = {}, ...children) {
  const element = Object.assign(document.createElement(tag), props);
  for (const [name, value] of Object.entries(attrs || {})) element.setAttribute(name, value);
  element.append(...children.flat().filter(child => child != null && child !== false));
  return element;
}

export const line = (...children) => el('p', { className: 'line' }, ...children);
export const glName = value => enums[value] || `0x${Number(value).toString(16).toUpperCase()}`;
export const fixed = (value, digits) => value.toFixed(digits);
export const rgb = (colour, digits = 0) => colour.map(value => fixed(value, digits)).join(' ');

// 0.65625 as "0.65625 = 21/32" where it is a whole number of 1/size.
export function ofTexels(value, size) {
  const count = value * size;
  return Number.isInteger(count) && count != 0 && count != size ? `${shortFloat(value)} = ${count}/${size}` : shortFloat(value);
}

// A texture as the page names it: "texture 2: light.bmp, 32×32", or "texture 2: no image".
export const textureText = texture => texture.texels
  ? `texture ${texture.name}: ${texture.file ? `${texture.file}, ` : ''}${texture.width}×${texture.height}`
  : `texture ${texture.name}: no image`;
