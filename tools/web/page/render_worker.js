// Renders frames off the page's thread, so scrubbing and playing never
// stall it. Holds one renderer of the current size; the page sends image A
// and image B when they change and asks for frames by position. Frames go
// out in buffers that the page hands back once drawn, so playing allocates
// nothing per frame.
import { createGlimmer } from './glimmer.js';

const ready = createGlimmer();
let renderer = null;
const spare = [];  // frame buffers the page has given back

function frameBuffer(bytes) {
  while (spare.length > 0) {
    const buffer = spare.pop();
    if (buffer.byteLength === bytes) return new Uint8Array(buffer);
  }
  return new Uint8Array(bytes);
}

self.onmessage = async ({ data: request }) => {
  const g = await ready;
  switch (request.type) {
    case 'recycle':
      spare.push(request.buffer);
      break;
    case 'size':
      spare.length = 0;
      if (renderer !== null) renderer.delete();
      renderer = g.createRenderer(request.width, request.height);
      break;
    case 'image':
      if (request.which === 'a') renderer.setA(new Uint8Array(request.rgba));
      else renderer.setB(new Uint8Array(request.rgba));
      break;
    case 'time': {  // the benchmark: frames back to back, nothing drawn between them
      const times = [];
      for (let i = 0; i < request.count; ++i) {
        const started = performance.now();
        renderer.frameView(request.settings, request.position, request.total);
        times.push(performance.now() - started);
      }
      self.postMessage({ type: 'times', times });
      break;
    }
    case 'frame': {
      const started = performance.now();
      const view = renderer.frameView(request.settings, request.position, request.total);
      const renderMs = performance.now() - started;
      const rgba = frameBuffer(view.length);
      rgba.set(view);
      const thumbnail = request.parameter == null ? null : renderer.sourceThumbnail(request.settings, request.parameter);
      const transfer = thumbnail === null ? [rgba.buffer] : [rgba.buffer, thumbnail.buffer];
      self.postMessage({ type: 'frame', id: request.id, position: request.position, rgba, thumbnail, renderMs,
        width: renderer.width, height: renderer.height }, transfer);
      break;
    }
  }
};
