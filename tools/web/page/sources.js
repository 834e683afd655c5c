// Image A and image B for the page: the built-in pair, or the user's own
// pictures and clips, each given as RGBA at the engine's size.
//
// A picture of the frame's size is taken exactly as decoded; another size
// is fitted as glimmer's default --fit letterbox does (scaled to fit,
// centred on black). A clip gives its frame k at position k, counted at the
// page's rate.
const largest = 16384;

export class Side {
  // kind: 'sample' | 'picture' | 'clip'
  constructor(kind, name, width, height, source) {
    Object.assign(this, { kind, name, width, height, source });
  }
  get moving() { return this.kind === 'clip'; }
}

export function sampleSide(which) {
  return new Side('sample', which === 'a' ? 'the sunset' : 'the mosaic', 640, 360, which);
}

function refusal(file, text) {
  const error = new Error(`'${file.name}' ${text}`);
  error.refusal = true;
  return error;
}

// The engine's frames: up to 16384 on a side and 2^26 pixels in all.
function checkSize(file, width, height) {
  if (width > largest || height > largest || width * height > 2 ** 26)
    throw refusal(file, `is ${width}x${height}; the page takes at most ${largest}x${largest} and 2^26 pixels in all`);
}

async function openClip(file) {
  const video = document.createElement('video');
  video.muted = true;
  video.preload = 'auto';
  video.src = URL.createObjectURL(file);
  await new Promise((resolve, reject) => {
    video.onloadeddata = resolve;
    video.onerror = () => reject(refusal(file, 'is not a picture or video that this browser can read'));
  });
  return video;
}

// A file as a side, or a refusal naming it.
export async function openSide(file) {
  if (file.type.startsWith('video/')) {
    const video = await openClip(file);
    checkSize(file, video.videoWidth, video.videoHeight);
    return new Side('clip', file.name, video.videoWidth, video.videoHeight, video);
  }
  let bitmap;
  try {
    bitmap = await createImageBitmap(file, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  } catch {
    throw refusal(file, 'is not a picture or video that this browser can read');
  }
  checkSize(file, bitmap.width, bitmap.height);
  return new Side('picture', file.name, bitmap.width, bitmap.height, bitmap);
}

function letterbox(width, height, frameWidth, frameHeight) {
  const scale = Math.min(frameWidth / width, frameHeight / height);
  const w = Math.max(1, Math.round(width * scale)), h = Math.max(1, Math.round(height * scale));
  return { x: Math.floor((frameWidth - w) / 2), y: Math.floor((frameHeight - h) / 2), w, h };
}

async function seek(video, seconds) {
  if (Math.abs(video.currentTime - seconds) < 1e-6) return;
  await new Promise((resolve) => {
    video.onseeked = resolve;
    video.currentTime = seconds;
  });
}

// The side's picture at frame k as RGBA bytes of the frame's size, for
// the renderer and for the built-in pair through the module.
export async function sideFrame(side, k, rate, frameWidth, frameHeight, glimmer, canvas) {
  if (side.kind === 'sample') return glimmer.samplePicture(side.source, frameWidth, frameHeight);
  canvas.width = frameWidth;
  canvas.height = frameHeight;
  const context = canvas.getContext('2d', { willReadFrequently: true, colorSpace: 'srgb' });
  context.imageSmoothingQuality = 'high';
  let picture = side.source;
  if (side.moving) {
    const duration = side.source.duration;
    const seconds = Math.min((k + 0.5) / rate, Number.isFinite(duration) ? Math.max(0, duration - 1e-3) : Infinity);
    await seek(side.source, seconds);
  }
  if (!side.moving && side.width === frameWidth && side.height === frameHeight) {
    context.clearRect(0, 0, frameWidth, frameHeight);
    context.drawImage(picture, 0, 0);
  } else {
    const place = letterbox(side.width, side.height, frameWidth, frameHeight);
    context.fillStyle = '#000';
    context.fillRect(0, 0, frameWidth, frameHeight);
    context.drawImage(picture, place.x, place.y, place.w, place.h);
  }
  return new Uint8Array(context.getImageData(0, 0, frameWidth, frameHeight).data.buffer);
}
