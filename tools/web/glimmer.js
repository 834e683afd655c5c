// The transition engine for JavaScript, in a page, a worker or node.
//
//   const g = await createGlimmer();
//   const rgba = g.render({ a, b, width, height, settings, position, total });
//
// Pictures are RGBA bytes with the top row first, as ImageData and PNG
// files hold them. Settings are the 424-byte record the plug-in stores.
import loadGlimmerModule from './glimmer_module.js';

const recordSize = 424;
const settingsFileSize = 456;

// Under node the loader (built for the web) gets the .wasm's bytes from
// here; in a browser it fetches the file beside itself.
async function moduleOptions() {
  const inNode = typeof process === 'object' && process.versions != null && process.versions.node != null;
  if (!inNode) return {};
  const { readFile } = await import('node:fs/promises');
  return { wasmBinary: await readFile(new URL('./glimmer_module.wasm', import.meta.url)) };
}

function checkRecord(settings) {
  if (!(settings instanceof Uint8Array) || settings.length !== recordSize)
    throw new TypeError(`settings must be a Uint8Array of ${recordSize} bytes`);
}

function checkPicture(name, bytes, width, height) {
  if (!(bytes instanceof Uint8Array || bytes instanceof Uint8ClampedArray) || bytes.length !== width * height * 4)
    throw new TypeError(`${name} must be ${width} x ${height} RGBA bytes (${width * height * 4})`);
}

export async function createGlimmer() {
  const m = await loadGlimmerModule(await moduleOptions());
  const fields = Object.freeze(m.fieldTable());
  const presets = Object.freeze(m.presetTable());
  let cached = null;  // the renderer of the last size render() was asked for

  function createRenderer(width, height) {
    if (!(width >= 1 && height >= 1 && width <= m.widestFrame && height <= 16384 && width * height <= 2 ** 26))
      throw new RangeError(`a frame is 1 to ${m.widestFrame} pixels wide and 1 to 16384 high, 2^26 pixels in all`);
    const native = new m.FrameRenderer(width, height);
    const upload = (which, bytes) => {
      checkPicture(which === 0 ? 'a' : 'b', bytes, width, height);
      native.uploadView().set(bytes);
      native.setImage(which);
    };
    return {
      width,
      height,
      setA: (bytes) => upload(0, bytes),
      setB: (bytes) => upload(1, bytes),
      // The frame; the view lasts until the next call into the module.
      frameView(settings, position, total) {
        checkRecord(settings);
        return native.render(settings, position | 0, total | 0);
      },
      frame(settings, position, total) {
        return this.frameView(settings, position, total).slice();
      },
      sourceThumbnail(settings, parameter) {
        checkRecord(settings);
        return native.sourceThumbnail(settings, parameter | 0).slice();
      },
      delete: () => native.delete(),
    };
  }

  return {
    fields,
    presets,
    widestFrame: m.widestFrame,
    defaultSettings: () => m.defaultSettings().slice(),
    // The record, or the message the plug-in's "&Load" shows.
    readSettingsFile(bytes) {
      const answer = m.readSettingsFile(bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes));
      return answer.error != null ? { error: answer.error } : { settings: answer.settings.slice() };
    },
    writeSettingsFile(settings) {
      checkRecord(settings);
      return m.writeSettingsFile(settings).file.slice();
    },
    // "gravity=60", "delayMap.source=Grad X": glimmer --set's names, values and refusals.
    assign(settings, assignment) {
      checkRecord(settings);
      const answer = m.applyAssignment(settings, String(assignment));
      return answer.error != null ? { error: answer.error } : { settings: answer.settings.slice() };
    },
    formatTimecode: (frames, framesPerSecond) => m.formatTimecode(frames | 0, framesPerSecond | 0),
    // "Duration: 0:00:01:05      \nPreview:  0:00:00:12       ", as the plug-in's dialog shows it.
    timeReadout: (total, position, framesPerSecond) => m.timeReadout(total | 0, position | 0, framesPerSecond | 0),
    // The built-in pair's image A (the sunset) or B (the mosaic) at a size.
    samplePicture(which, width, height) {
      return m.samplePicture(which === 'b' ? 1 : 0, width, height).slice();
    },
    createRenderer,
    render({ a, b, width, height, settings, position, total }) {
      if (cached === null || cached.width !== width || cached.height !== height) {
        if (cached !== null) cached.delete();
        cached = createRenderer(width, height);
      }
      cached.setA(a);
      cached.setB(b);
      return cached.frame(settings, position, total);
    },
  };
}

export const settingsRecordSize = recordSize;
export const settingsFileBytes = settingsFileSize;
