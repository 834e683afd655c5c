// Renders frames off the page's thread, so scrubbing and playing never
// stall it. Holds one renderer of the current size; the page sends image A
// and image B when they change and asks for frames by position.
import { createGlimmer } from './glimmer.js';

const ready = createGlimmer();
let renderer = null;

self.onmessage = async ({ data: request }) => {
  const g = await ready;
  switch (request.type) {
    case 'size':
      if (renderer !== null) renderer.delete();
      renderer = g.createRenderer(request.width, request.height);
      break;
    case 'image':
      if (request.which === 'a') renderer.setA(new Uint8Array(request.rgba));
      else renderer.setB(new Uint8Array(request.rgba));
      break;
    case 'frame': {
      const started = performance.now();
      const view = renderer.frameView(request.settings, request.position, request.total);
      const renderMs = performance.now() - started;
      const rgba = view.slice();
      const thumbnail = request.parameter == null ? null : renderer.sourceThumbnail(request.settings, request.parameter);
      const transfer = thumbnail === null ? [rgba.buffer] : [rgba.buffer, thumbnail.buffer];
      self.postMessage({ type: 'frame', id: request.id, position: request.position, rgba, thumbnail, renderMs,
        width: renderer.width, height: renderer.height }, transfer);
      break;
    }
  }
};
