// What leaves the page: the look as address fields and as a glimmer
// command line, files to download, and the whole transition as a WebM.
import { readField } from './settings_pages.js';

// The fields that differ from the defaults, by the names glimmer --set
// takes: the ones the pages show, and the Hold bits.
export function lookParameters(fields, settings) {
  return fields
    .filter((f) => (f.panel || f.name === 'holdFlags') && readField(settings, f) !== f.defaultValue)
    .map((f) => [f.name, readField(settings, f)]);
}

const quoted = (text) => (/^[\w.,:/=+-]+$/.test(text) ? text : `'${text.replaceAll("'", "'\\''")}'`);

// The glimmer render that makes the frame on show.
export function glimmerCommand(fields, state) {
  const words = ['glimmer', 'render'];
  const { a, b } = state.sides;
  if (a.kind !== 'sample') words.push('--a', quoted(a.name));
  if (b.kind !== 'sample') words.push('--b', quoted(b.name));
  if (a.kind === 'sample' && b.kind === 'sample' && (state.width !== 640 || state.height !== 360))
    words.push('--size', `${state.width}x${state.height}`);
  if (a.moving || b.moving) words.push('--fps', String(state.rate));
  for (const [name, value] of lookParameters(fields, state.settings)) {
    const field = fields.find((f) => f.name === name);
    const shown = field.page === 'Sources' && field.listNames.length > 0 ? field.listNames[value] ?? value : value;
    words.push('--set', quoted(`${name}=${shown}`));
  }
  words.push('--position', String(state.position), '--total', String(state.total), '--out', 'frame.png');
  return words.join(' ');
}

export function downloadBytes(data, name, type = 'application/octet-stream') {
  const blob = data instanceof Blob ? data : new Blob([data], { type });
  const link = Object.assign(document.createElement('a'), { href: URL.createObjectURL(blob), download: name });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// Records every frame of the transition from the preview canvas, one frame
// each 1/rate seconds; showFrame(p) answers once frame p is drawn.
export async function recordWebm(canvas, state, showFrame) {
  const stream = canvas.captureStream(0);
  const track = stream.getVideoTracks()[0];
  const type = ['video/webm;codecs=vp9', 'video/webm;codecs=vp8', 'video/webm'].find((t) => MediaRecorder.isTypeSupported(t));
  const recorder = new MediaRecorder(stream, { mimeType: type, videoBitsPerSecond: 8_000_000 });
  const chunks = [];
  recorder.ondataavailable = (event) => event.data.size > 0 && chunks.push(event.data);
  const stopped = new Promise((resolve) => { recorder.onstop = resolve; });
  recorder.start();
  const started = performance.now();
  for (let p = 0; p < state.total; ++p) {
    await showFrame(p);
    track.requestFrame();
    const due = started + ((p + 1) * 1000) / state.rate;
    await new Promise((resolve) => setTimeout(resolve, Math.max(0, due - performance.now())));
  }
  recorder.stop();
  await stopped;
  track.stop();
  return new Blob(chunks, { type: 'video/webm' });
}
