// The designer page: the transition on the built-in pair or the user's own
// pictures and clips, the plug-in's four pages, and the look and position
// in the address, so that a link shows one frame of one look.
import { createGlimmer } from './glimmer.js';
import { buildPages, readField } from './settings_pages.js';
import { openSide, sampleSide, sideFrame } from './sources.js';
import { downloadBytes, glimmerCommand, lookParameters, recordWebm } from './exports.js';

const $ = (id) => document.getElementById(id);
const g = await createGlimmer();
const worker = new Worker(new URL('./render_worker.js', import.meta.url), { type: 'module' });
const preview = $('preview');
const scratch = document.createElement('canvas');

const state = {
  settings: g.defaultSettings(),
  position: 0,
  total: 30,
  rate: 25,
  width: 640,
  height: 360,
  sides: { a: sampleSide('a'), b: sampleSide('b') },
  sent: { a: null, b: null },   // which frame of each side the worker holds
  inFlight: false,
  again: false,
  shown: 0,          // frames drawn so far
  renderTimes: [],   // the worker's milliseconds per frame, the latest 600
};
window.designer = state;
let playing = null;  // the animation frame request while playing

function say(text) {
  $('message').textContent = text;
  $('message').hidden = text === '';
}

// ?gravity=60&cellWidth=4&position=12&total=30: glimmer --set's names.
function readAddress() {
  const query = new URLSearchParams(location.search);
  const problems = [];
  for (const [name, value] of query) {
    if (name === 'position' || name === 'total' || name === 'rate') {
      const number = Number(value);
      if (!Number.isInteger(number) || number < (name === 'position' ? 0 : 1)) problems.push(`${name}=${value} is not a frame count`);
      else state[name] = number;
    } else if (name === 'size') {
      const match = /^(\d+)x(\d+)$/.exec(value);
      if (match && Number(match[1]) >= 1 && Number(match[2]) >= 1 && Number(match[1]) <= 16384 && Number(match[2]) <= 16384) {
        state.width = Number(match[1]);
        state.height = Number(match[2]);
      } else problems.push(`size=${value} is not WIDTHxHEIGHT up to 16384x16384`);
    } else {
      const answer = g.assign(state.settings, `${name}=${value}`);
      if (answer.error) problems.push(answer.error);
      else state.settings = answer.settings;
    }
  }
  state.position = Math.min(state.position, state.total - 1);
  say(problems.join('; '));
}

function writeAddress() {
  const query = lookParameters(g.fields, state.settings);
  if (state.sides.a.kind === 'sample' && state.sides.b.kind === 'sample' && (state.width !== 640 || state.height !== 360))
    query.push(['size', `${state.width}x${state.height}`]);
  query.push(['position', state.position], ['total', state.total]);
  if (state.rate !== 25) query.push(['rate', state.rate]);
  history.replaceState(null, '', `?${new URLSearchParams(query.map(([k, v]) => [k, String(v)]))}`);
  $('command').value = glimmerCommand(g.fields, state);
}

// The frame of each side that position p asks for: a held clip stays on
// frame 0 (image A) or the last frame (image B), as the plug-in's preview
// asks its host.
function wantedFrames(p) {
  const hold = readField(state.settings, g.fields.find((f) => f.name === 'holdFlags'));
  return { a: hold & 1 ? 0 : p, b: hold & 2 ? state.total - 1 : p };
}

async function sendSides(p) {
  const wanted = wantedFrames(p);
  for (const which of ['a', 'b']) {
    const side = state.sides[which];
    const k = side.moving ? wanted[which] : 0;
    if (state.sent[which] === k) continue;
    const rgba = await sideFrame(side, k, state.rate, state.width, state.height, g, scratch);
    worker.postMessage({ type: 'image', which, rgba: rgba.buffer }, [rgba.buffer]);
    state.sent[which] = k;
  }
}

function frameRequest() {
  return { type: 'frame', settings: state.settings.slice(), position: state.position, total: state.total,
    parameter: $('page-Sources').hidden ? null : pages.parameter() };
}

// One frame at a time in the worker; a change while it renders asks again.
async function refresh() {
  if (state.inFlight) { state.again = true; return; }
  state.inFlight = true;
  try {
    await sendSides(state.position);
    worker.postMessage(frameRequest());
  } catch (error) {
    state.inFlight = false;
    say(error.message);
  }
  // Browsers throttle address changes, so playing leaves the address alone
  // until it pauses.
  if (playing === null) writeAddress();
  updateReadout();
}

const frameShown = [];  // resolvers waiting for the next drawn frame
let timesWanted = null;
// The worker's milliseconds for `count` renders of the frame on show.
state.timeFrames = (count) => new Promise((resolve) => {
  timesWanted = resolve;
  worker.postMessage({ ...frameRequest(), type: 'time', count });
});

worker.onmessage = ({ data: answer }) => {
  if (answer.type === 'times') { timesWanted(answer.times); return; }
  state.inFlight = false;
  state.renderTimes.push(answer.renderMs);
  if (state.renderTimes.length > 600) state.renderTimes.shift();
  preview.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(answer.rgba.buffer), answer.width, answer.height), 0, 0);
  worker.postMessage({ type: 'recycle', buffer: answer.rgba.buffer }, [answer.rgba.buffer]);
  preview.dataset.position = String(answer.position);
  if (answer.thumbnail) {
    pages.thumbnail.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(answer.thumbnail.buffer), 128, 96), 0, 0);
  }
  if (state.again) { state.again = false; refresh(); return; }
  state.shown += 1;
  frameShown.splice(0).forEach((resolve) => resolve());
};
worker.onerror = (event) => say(`the renderer stopped: ${event.message}`);
const nextFrame = () => new Promise((resolve) => frameShown.push(resolve));

function updateReadout() {
  $('readout').textContent = g.timeReadout(state.total, state.position, state.rate);
  $('scrubber').max = String(Math.max(0, state.total - 1));
  $('scrubber').value = String(state.position);
  $('frame-count').value = String(state.total);
  $('rate').value = String(state.rate);
}

function resize(width, height) {
  state.width = width;
  state.height = height;
  preview.width = width;
  preview.height = height;
  state.sent = { a: null, b: null };
  worker.postMessage({ type: 'size', width, height });
}

// The frame is image A's size, else image B's, else the built-in 640 x 360.
function fitFrame() {
  const { a, b } = state.sides;
  const sized = a.kind !== 'sample' ? a : b.kind !== 'sample' ? b : null;
  resize(sized ? sized.width : state.width, sized ? sized.height : state.height);
}

async function takeFiles(files, sides) {
  try {
    const opened = await Promise.all(files.map(openSide));
    opened.forEach((side, i) => { state.sides[sides[i]] = side; });
  } catch (error) {
    say(error.refusal ? error.message : `cannot read: ${error.message}`);
    return;
  }
  say('');
  $('names').textContent = `A: ${state.sides.a.name}, B: ${state.sides.b.name}`;
  fitFrame();
  refresh();
}

const pages = buildPages($('pages'), g.fields, () => state.settings, () => refresh());

// Playing: the position follows the clock at the page's rate.
function play() {
  const started = performance.now(), from = state.position;
  const step = (now) => {
    if (playing === null) return;
    let p = from + Math.floor(((now - started) / 1000) * state.rate);
    if (p >= state.total) {
      if (!$('loop').checked) { pause(); state.position = state.total - 1; refresh(); return; }
      p %= state.total;
    }
    if (p !== state.position) { state.position = p; refresh(); }
    playing = requestAnimationFrame(step);
  };
  playing = requestAnimationFrame(step);
  $('play').textContent = 'Pause';
}
function pause() {
  if (playing !== null) cancelAnimationFrame(playing);
  playing = null;
  $('play').textContent = 'Play';
  writeAddress();
}

function wire() {
  $('scrubber').oninput = () => { state.position = Number($('scrubber').value); refresh(); };
  $('play').onclick = () => (playing === null ? play() : pause());
  $('frame-count').onchange = () => {
    const total = Math.max(1, Math.trunc(Number($('frame-count').value)) || 1);
    state.total = total;
    state.position = Math.min(state.position, total - 1);
    state.sent = { a: null, b: null };
    refresh();
  };
  $('rate').onchange = () => { state.rate = Math.max(1, Math.trunc(Number($('rate').value)) || 25); state.sent = { a: null, b: null }; refresh(); };
  $('file-a').onchange = () => $('file-a').files.length && takeFiles([$('file-a').files[0]], ['a']);
  $('file-b').onchange = () => $('file-b').files.length && takeFiles([$('file-b').files[0]], ['b']);
  $('builtin').onclick = () => { state.sides = { a: sampleSide('a'), b: sampleSide('b') }; $('names').textContent = ''; resize(640, 360); refresh(); };
  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    const files = [...event.dataTransfer.files].slice(0, 2);
    if (files.length > 0) takeFiles(files, files.length === 2 ? ['a', 'b'] : ['a']);
  });
  $('load').onchange = async () => {
    const file = $('load').files[0];
    if (!file) return;
    const answer = g.readSettingsFile(new Uint8Array(await file.arrayBuffer()));
    $('load').value = '';
    if (answer.error) { say(answer.error); return; }
    say('');
    state.settings = answer.settings;
    state.sent = { a: null, b: null };
    pages.load();
    refresh();
  };
  $('save').onclick = () => downloadBytes(g.writeSettingsFile(state.settings), 'look.qvx', 'application/octet-stream');
  $('copy-command').onclick = () => navigator.clipboard?.writeText($('command').value).catch(() => {});
  $('png').onclick = () => preview.toBlob((blob) => downloadBytes(blob, `frame-${state.position}.png`));
  $('webm').onclick = async () => {
    pause();
    say('');
    const blob = await recordWebm(preview, state, async (p) => { state.position = p; const shown = nextFrame(); refresh(); await shown; });
    downloadBytes(blob, 'transition.webm');
  };
  $('preset').append(...g.presets.map((p, i) => Object.assign(document.createElement('option'), { value: i, textContent: p.title, title: p.description })));
  $('preset').onchange = () => {
    if ($('preset').value === '') return;
    state.settings = g.presets[Number($('preset').value)].settings.slice();
    pages.load();
    refresh();
  };
}

readAddress();
resize(state.width, state.height);
pages.load();
wire();
refresh();
