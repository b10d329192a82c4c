'use strict';
// The page around the program: its printed output, maps handed in by picker
// or drop, saved files handed out as downloads, the ended state after
// quitting, unsaved work kept in the browser's own storage (IndexedDB), the
// list of keys, the toolbar and taps for screens without keys, and links
// that carry a whole drawing in the address's fragment.

const workFolder = '/home/web_user/maps';               // the program's current folder
const recoveryFolder = '/home/web_user/.local/state/vialoom';
const seenKey = 'vialoom.recovery.seen';
const savedEndings = /\.(vmap|svg)$/;
const shareFile = '/tmp/vialoom-share.txt';
const linkKey = 'map=';                // the fragment is "#map=" and the packed drawing
const maxLinkBytes = 64 * 1024;        // packed; longer links are refused by some browsers and chats
// Deflate expands at most 1032-fold, so no link the page makes unpacks past this.
const maxUnpackedBytes = 1032 * maxLinkBytes + 4096;
const tapSlop = 10;                    // CSS pixels a finger may wander in a tap
const wheelStep = 1.25;                // zoom factor of one pinch step the program gets

const canvas = document.getElementById('canvas');
const output = document.getElementById('output');
const message = document.getElementById('message');

// What the tests and the measurements read.
// link: 'none', 'pending', 'opened' or 'damaged' for the address the page
// opened with; shared: the last link Share made.
const pageState = { ready: false, ended: false, exitStatus: null,
                    firstFrameMs: null, frames: 0, downloads: [], stored: 0, opened: 0,
                    link: 'none', shared: null, gestures: 0 };
window.vialoomPage = pageState;

let handlingKey = false;  // files written while a key is handled are the user's saves
let pointer = { x: 0, y: 0 };
// The toolbar button whose action the next tap or click takes, with its
// action; Link stays armed.
let armed = null;
// One finger down: where it started, and whether it has moved too far to be a tap.
let tap = null;
// Two fingers down: their last centre and distance, in canvas pixels.
let gesture = null;

function showMessage(text) {
  message.textContent = text;
}

function appendOutput(text) {
  output.textContent += text + '\n';
}

// Every redraw is one animation frame: count them and note the first.
function countFrames() {
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = callback => request(time => {
    callback(time);
    pageState.frames += 1;
    if (pageState.firstFrameMs === null) pageState.firstFrameMs = performance.now();
  });
}

function download(path) {
  const name = path.split('/').pop();
  const type = name.endsWith('.svg') ? 'image/svg+xml' : 'text/plain';
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([FS.readFile(path)], { type }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  pageState.downloads.push(name);
}

// Saves end in a rename over the target; those made by s or e become downloads.
function offerSavesAsDownloads() {
  const rename = FS.rename;
  FS.rename = (from, to) => {
    rename(from, to);
    if (handlingKey && savedEndings.test(to) && !to.startsWith(recoveryFolder))
      setTimeout(() => download(to));
  };
}

function newestRecovery() {
  let newest = null;
  for (const name of FS.readdir(recoveryFolder)) {
    if (!name.endsWith('.vmap')) continue;
    const time = FS.stat(recoveryFolder + '/' + name).mtime.getTime();
    if (newest === null || time > newest.time) newest = { name, time };
  }
  return newest;
}

function offerRecovery() {
  const newest = newestRecovery();
  if (newest === null) return;
  const id = newest.name + '@' + newest.time;
  if (localStorage.getItem(seenKey) === id) return;
  const offer = document.getElementById('recovery');
  document.getElementById('recovery-name').textContent = new Date(newest.time).toLocaleString();
  const close = () => { localStorage.setItem(seenKey, id); offer.hidden = true; canvas.focus(); };
  document.getElementById('recovery-restore').onclick = () => {
    if (openMap(recoveryFolder + '/' + newest.name)) close();
  };
  document.getElementById('recovery-dismiss').onclick = close;
  offer.hidden = false;
}

// The program starts in its own folder, where s and e save.
function enterWorkFolder() {
  FS.mkdirTree(workFolder);
  FS.chdir(workFolder);
}

function mountRecovery() {
  FS.mkdirTree(recoveryFolder);
  FS.mount(IDBFS, {}, recoveryFolder);
  addRunDependency('recovery');
  FS.syncfs(true, error => {
    if (error) showMessage('vialoom: browser storage: ' + error);
    else offerRecovery();
    removeRunDependency('recovery');
  });
}

function persistRecovery(then) {
  FS.syncfs(false, error => {
    if (error) showMessage('vialoom: browser storage: ' + error);
    else pageState.stored += 1;
    if (then) then();
  });
}

// True when the program took the map; its error is shown otherwise.
function openMap(path) {
  const error = Module.ccall('vialoomOpenMap', 'string', ['string'], [path]);
  pageState.opened += 1;
  showMessage(error);
  canvas.focus();
  return error === '';
}

// Copies the files into the program's folder, then opens the one that is a
// map by itself (a DIMACS .co only travels with its .gr).
async function openFiles(files) {
  if (!pageState.ready || pageState.ended || files.length === 0) return;
  FS.mkdirTree(workFolder);
  let chosen = null;
  for (const file of files) {
    const path = workFolder + '/' + file.name;
    FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
    if (!file.name.endsWith('.co') && (chosen === null || file.name.endsWith('.gr'))) chosen = path;
  }
  openMap(chosen || workFolder + '/' + files[0].name);
}

// The program ends by unwinding out of the key handler that ran its quit key:
// that is its normal end, not an error to report.
function quietProgramEnd() {
  const add = window.addEventListener.bind(window);
  const remove = window.removeEventListener.bind(window);
  const wrapped = new WeakMap();
  window.addEventListener = (type, listener, options) => {
    if (typeof listener !== 'function') return add(type, listener, options);
    if (!wrapped.has(listener)) {
      wrapped.set(listener, event => {
        try {
          return listener(event);
        } catch (error) {
          if (error?.name !== 'ExitStatus') throw error;
        }
      });
    }
    return add(type, wrapped.get(listener), options);
  };
  window.removeEventListener = (type, listener, options) =>
    remove(type, wrapped.get(listener) || listener, options);
}

// The browser's GLUT keeps its timers alive after exit(): stop every
// callback into the program, then show the ended state.
function ended(status, toThrow) {
  ABORT = true;
  pageState.ended = true;
  pageState.exitStatus = status;
  persistRecovery(() => {
    document.getElementById('ended').hidden = false;
    document.getElementById('restart').focus();
  });
  throw toThrow;
}

// Marks what the key in hand saves as the user's: it becomes a download.
function markKey() {
  handlingKey = true;
  setTimeout(() => { handlingKey = false; });
}

// Runs before the browser's GLUT sees the key: marks the key's saves, and
// passes on the CTRL keys that GLUT drops.
function onKeyDown(event) {
  markKey();
  if (!pageState.ready || pageState.ended || !event.ctrlKey || event.altKey) return;
  const code = { z: 26, y: 25 }[event.key.toLowerCase()];
  if (code === undefined) return;
  event.preventDefault();
  Module._vialoomKey(code, pointer.x, pointer.y);
}

// The list of keys is the program's own table, the one its help shows.
function fillKeyList() {
  const table = document.getElementById('keys');
  const text = Module.ccall('vialoomKeyTable', 'string', [], []);
  for (const line of text.split('\n').filter(line => line !== '')) {
    const row = table.insertRow();
    const [keys, what] = line.split('\t');
    if (what === undefined) {
      const title = document.createElement('th');
      title.colSpan = 2;
      title.textContent = keys;
      row.append(title);
    } else {
      row.insertCell().textContent = keys;
      row.insertCell().textContent = what;
    }
  }
}

// A point of the page (client pixels) in the program's window pixels; the
// canvas may be drawn smaller than its 800 x 600, as on a phone.
function canvasPoint(clientX, clientY) {
  const box = canvas.getBoundingClientRect();
  return { x: Math.round((clientX - box.left) * canvas.width / box.width),
           y: Math.round((clientY - box.top) * canvas.height / box.height) };
}

function runKey(code, x, y) {
  if (!pageState.ready || pageState.ended) return;
  markKey();
  Module._vialoomKey(code, x, y);
}

function disarm() {
  if (armed) armed.button.setAttribute('aria-pressed', 'false');
  armed = null;
}

// A tap, or a click while a toolbar button is armed, at window pixel (x, y).
function tapAt({ x, y }) {
  if (!pageState.ready || pageState.ended) return;
  pointer = { x, y };
  const action = armed ? armed.action : { kind: 'tap', button: 0, modifiers: 0 };
  if (armed && !armed.sticky) disarm();
  if (action.kind === 'key-at') runKey(action.code, x, y);
  else clickAt(action, { x, y });
}

function clickAt({ button, modifiers }, { x, y }) {
  if (pageState.ready && !pageState.ended) Module._vialoomClick(button, x, y, modifiers);
}

// The toolbar's buttons, read from the program's key table: a key runs at
// once, a tap button arms the next tap (pressing it again disarms it).
function fillToolbar() {
  const text = Module.ccall('vialoomToolbar', 'string', [], []);
  const share = document.getElementById('share');
  for (const line of text.split('\n').filter(line => line !== '')) {
    const [label, does, what] = line.split('\t');
    const [kind, ...numbers] = does.split(' ');
    const [first, second] = numbers.map(Number);
    const action = kind.startsWith('key') ? { kind, code: first } : { kind, button: first, modifiers: second };
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = label;
    button.title = what;
    button.dataset.does = does;
    const armsTap = kind === 'tap' || kind === 'key-at';
    if (armsTap) button.setAttribute('aria-pressed', 'false');
    button.addEventListener('click', () => {
      if (kind === 'key') runKey(action.code, pointer.x, pointer.y);
      else if (kind === 'click') clickAt(action, pointer);
      else if (armed?.button === button) disarm();
      else {
        disarm();
        armed = { button, action, sticky: label === 'Link' };
        button.setAttribute('aria-pressed', 'true');
      }
      canvas.focus();
    });
    if (armsTap || kind === 'click') document.getElementById('tap-tools').append(button);
    else share.before(button);
  }
}

// Touch on the drawing: one finger that stays put is a tap; two fingers pinch
// to zoom and move to pan, when the program offers zoom and pan. Handled
// here, ahead of the browser's GLUT, which would make every touch a click.
function onTouch(event) {
  if (event.target !== canvas) return;
  event.preventDefault();
  event.stopImmediatePropagation();
  const fingers = [...event.touches].map(t => canvasPoint(t.clientX, t.clientY));
  if (event.type === 'touchstart') {
    if (fingers.length === 1) {
      const t = event.touches[0];
      tap = { clientX: t.clientX, clientY: t.clientY, point: fingers[0] };
    } else {
      tap = null;
    }
    gesture = fingers.length === 2 ? twoFingers(fingers) : null;
  } else if (event.type === 'touchmove') {
    if (tap && [...event.touches].some(t => Math.hypot(t.clientX - tap.clientX, t.clientY - tap.clientY) > tapSlop))
      tap = null;
    if (gesture && fingers.length === 2) moveTwoFingers(twoFingers(fingers));
  } else if (event.type === 'touchend' && fingers.length === 0) {
    if (tap) tapAt(tap.point);
    tap = null;
    gesture = null;
  } else {
    // A lifted second finger, or a cancelled touch: no tap and no gesture.
    if (event.type === 'touchcancel') tap = null;
    gesture = null;
  }
}

function twoFingers([a, b]) {
  return { x: (a.x + b.x) / 2, y: (a.y + b.y) / 2, distance: Math.hypot(a.x - b.x, a.y - b.y) };
}

// Hands the program the pinch's change of scale about the fingers' centre and
// the centre's move. Without the program's zoom and pan the gesture does nothing.
function moveTwoFingers(now) {
  const zoomAt = Module._vialoomZoomAt;
  const pan = Module._vialoomPan;
  if (!zoomAt || !pan || !pageState.ready || pageState.ended) { gesture = now; return; }
  const dx = Math.round(now.x - gesture.x);
  const dy = Math.round(now.y - gesture.y);
  if (dx !== 0 || dy !== 0) pan(dx, dy);
  const factor = gesture.distance > 0 ? now.distance / gesture.distance : 1;
  if (factor > 0 && Math.abs(Math.log(factor)) > Math.log(wheelStep) / 8) zoomAt(Math.round(now.x), Math.round(now.y), factor);
  else now.distance = gesture.distance;  // small changes add up until they count
  if (dx === 0) now.x = gesture.x;
  if (dy === 0) now.y = gesture.y;
  gesture = now;
  pageState.gestures += 1;
}

// A mouse click while a toolbar button is armed takes that button's action.
function onMouseDown(event) {
  if (event.target !== canvas || !armed || event.button !== 0) return;
  event.preventDefault();
  event.stopImmediatePropagation();
  tapAt(canvasPoint(event.clientX, event.clientY));
}

function base64url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) throw new Error('it holds characters a link never has');
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, c => c.charCodeAt(0));
}

// Runs bytes through a (de)compression stream, refusing output past limit.
async function through(bytes, transform, limit = Infinity) {
  const reader = new Blob([bytes]).stream().pipeThrough(transform).getReader();
  const chunks = [];
  let size = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    size += value.length;
    if (size > limit) {
      reader.cancel();
      throw new Error('it unpacks to more than any shared drawing');
    }
    chunks.push(value);
  }
  const joined = new Uint8Array(size);
  let at = 0;
  for (const chunk of chunks) { joined.set(chunk, at); at += chunk.length; }
  return joined;
}

function showShareBox(note, link) {
  document.getElementById('share-box').hidden = false;
  document.getElementById('share-note').textContent = note;
  const field = document.getElementById('share-link');
  field.hidden = link === null;
  field.value = link ?? '';
  document.getElementById('share-download').hidden = link !== null;
  if (link !== null) field.select();
}

// Share: the drawing, packed, into the address; too large a drawing is
// offered as a .vmap download instead.
async function share() {
  if (!pageState.ready || pageState.ended) return;
  const error = Module.ccall('vialoomWriteShare', 'string', ['string'], [shareFile]);
  if (error !== '') { showMessage(error); return; }
  const text = FS.readFile(shareFile);
  FS.unlink(shareFile);
  const packed = await through(text, new CompressionStream('deflate'));
  if (packed.length > maxLinkBytes) {
    const kib = Math.ceil(packed.length / 1024);
    showShareBox(`This drawing is too large for a link (${kib} KiB packed, a link holds 64 KiB). Download it as a .vmap file instead:`, null);
    pageState.shared = '';
    return;
  }
  const link = location.href.split('#')[0] + '#' + linkKey + base64url(packed);
  history.replaceState(null, '', link);
  pageState.shared = link;
  let copied = false;
  try {
    await navigator.clipboard.writeText(link);
    copied = true;
  } catch (ignored) {
    // No clipboard without the user's leave: the link is in the field and the address.
  }
  showShareBox(copied ? 'Link copied; it is also in the address bar:' : 'Link to this drawing, also in the address bar:', link);
}

// Opens the drawing in the address's fragment, all of it or nothing.
async function openLink() {
  const fragment = location.hash.slice(1);
  if (fragment === '') return;
  pageState.link = 'pending';
  let reason = null;
  try {
    if (!fragment.startsWith(linkKey)) throw new Error('it does not begin with #' + linkKey);
    const packed = fromBase64url(fragment.slice(linkKey.length));
    let text;
    try {
      text = await through(packed, new DecompressionStream('deflate'), maxUnpackedBytes);
    } catch (error) {
      throw error.message.startsWith('it ') ? error : new Error('its data does not unpack');
    }
    FS.writeFile(shareFile, text);
    const error = Module.ccall('vialoomOpenShare', 'string', ['string'], [shareFile]);
    FS.unlink(shareFile);
    if (error !== '') reason = error.replace(/^vialoom: /, '');
  } catch (error) {
    reason = error.message;
  }
  pageState.link = reason === null ? 'opened' : 'damaged';
  showMessage(reason === null ? '' : `vialoom: this link is damaged or cut short (${reason}); nothing was opened`);
  canvas.focus();
}

function wirePage() {
  window.addEventListener('keydown', onKeyDown, true);
  // Ahead of the browser's GLUT, which listens on the window too.
  for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel'])
    window.addEventListener(type, onTouch, { capture: true, passive: false });
  window.addEventListener('mousedown', onMouseDown, true);
  window.addEventListener('hashchange', () => { if (pageState.ready && !pageState.ended) openLink(); });
  document.getElementById('share').addEventListener('click', () => { share(); canvas.focus(); });
  document.getElementById('share-download').addEventListener('click', () => runKey('s'.charCodeAt(0), pointer.x, pointer.y));
  canvas.addEventListener('contextmenu', event => event.preventDefault());
  canvas.addEventListener('mousemove', event => { pointer = { x: event.offsetX, y: event.offsetY }; });
  canvas.addEventListener('dragover', event => event.preventDefault());
  canvas.addEventListener('drop', event => {
    event.preventDefault();
    openFiles([...event.dataTransfer.files]);
  });
  const picker = document.getElementById('open');
  picker.addEventListener('change', () => { openFiles([...picker.files]); picker.value = ''; });
  document.getElementById('restart').addEventListener('click', () => location.reload());
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState !== 'hidden' || !pageState.ready || pageState.ended) return;
    Module._vialoomKeepUnsavedWork();
    persistRecovery();
  });
  canvas.focus();
}

var Module = {
  canvas,
  print: appendOutput,
  printErr: text => {
    // The GL emulation announces itself at start-up; that is no message for the user.
    if (text.startsWith('WARNING: using emscripten GL')) return;
    console.warn(text);
    appendOutput(text);
    showMessage(text);
  },
  preRun: [enterWorkFolder, mountRecovery, offerSavesAsDownloads],
  onRuntimeInitialized: () => { fillKeyList(); fillToolbar(); pageState.ready = true; },
  // After main: the program has its window and an empty drawing.
  postRun: [openLink],
  quit: ended,
};

quietProgramEnd();
countFrames();
wirePage();
