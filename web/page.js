'use strict';
// The page around the program: its printed output, maps handed in by picker
// or drop, saved files handed out as downloads, the ended state after
// quitting, unsaved work kept in the browser's own storage (IndexedDB), and
// the list of keys.

const workFolder = '/home/web_user/maps';               // the program's current folder
const recoveryFolder = '/home/web_user/.local/state/vialoom';
const seenKey = 'vialoom.recovery.seen';
const savedEndings = /\.(vmap|svg)$/;

const canvas = document.getElementById('canvas');
const output = document.getElementById('output');
const message = document.getElementById('message');

// What the tests and the measurements read.
const pageState = { ready: false, ended: false, exitStatus: null,
                    firstFrameMs: null, frames: 0, downloads: [], stored: 0, opened: 0 };
window.vialoomPage = pageState;

let handlingKey = false;  // files written while a key is handled are the user's saves
let pointer = { x: 0, y: 0 };

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

// Runs before the browser's GLUT sees the key: marks the key's saves, and
// passes on the CTRL keys that GLUT drops.
function onKeyDown(event) {
  handlingKey = true;
  setTimeout(() => { handlingKey = false; });
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

function wirePage() {
  window.addEventListener('keydown', onKeyDown, true);
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
  onRuntimeInitialized: () => { fillKeyList(); pageState.ready = true; },
  quit: ended,
};

quietProgramEnd();
countFrames();
wirePage();
