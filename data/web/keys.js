// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The keyboard, as freeglut delivers keys to the viewer: characters, and the
// control keys that have one.
import { kKeys } from './viewer-facts.js';

const kNamedKeys = Object.freeze({ Escape: kKeys.escape, Enter: 13, Tab: 9, Backspace: 8, Delete: 127 });

// The viewer's key for a keydown EVENT with the focus on FOCUS (an element or
// null), or undefined where the key is the browser's or the focused
// control's: keys with Ctrl, Alt or Meta, and Enter and the space bar on a
// control, which the control then delivers itself.
export function viewerKey(event, focus) {
  if (event.ctrlKey || event.altKey || event.metaKey) return undefined;
  const onControl = focus && ['BUTTON', 'A', 'SUMMARY'].includes(focus.tagName);
  if (onControl && (event.key === 'Enter' || event.key === ' ')) return undefined;
  const code = kNamedKeys[event.key];
  if (code !== undefined) return code;
  if (event.key.length === 1 && event.key.charCodeAt(0) < 128) return event.key.charCodeAt(0);
  return undefined;
}

// Hands PRESS the viewer's key of every keydown on the page. Tab reaches the
// viewer and still moves the focus; so does every key in the language list
// and the embedding HTML's text, which keep their own use of it (the list's
// type-ahead).
export function followKeyboard(press) {
  window.addEventListener('keydown', (event) => {
    const focus = document.activeElement;
    const code = viewerKey(event, focus);
    if (code === undefined) return;
    press(code);
    const inField = focus && ['SELECT', 'TEXTAREA'].includes(focus.tagName);
    if (event.key !== 'Tab' && !inField) event.preventDefault();
  });
}
