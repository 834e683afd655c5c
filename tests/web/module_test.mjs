// The module in node against glimmer itself: frames byte for byte, and the
// settings file both ways. GLIMMER names the native glimmer (scripts/web test).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createGlimmer } from '../../build/web/glimmer.js';

const glimmer = process.env.GLIMMER ?? 'build/native/tools/glimmer/glimmer';
const work = mkdtempSync(join(tmpdir(), 'glimmer-web-'));
const g = await createGlimmer();

const rgbaOf = (file) =>
  execFileSync('ffmpeg', ['-loglevel', 'error', '-i', file, '-f', 'rawvideo', '-pix_fmt', 'rgba', '-'], { maxBuffer: 1 << 26 });
const setArgs = (sets) => sets.flatMap((s) => ['--set', s]);

function withAssignments(sets) {
  let settings = g.defaultSettings();
  for (const s of sets) {
    const answer = g.assign(settings, s);
    assert.equal(answer.error, undefined, s);
    settings = answer.settings;
  }
  return settings;
}

// Two pictures of our own that ffmpeg draws, as PNG files glimmer reads exactly.
function drawnPair(width, height) {
  const files = [['testsrc2', 'a'], ['mandelbrot', 'b']].map(([source, side]) => {
    const file = join(work, `${side}-${width}x${height}.png`);
    // testsrc2 draws even sizes only: odd ones are cut from the next even size.
    const drawn = `${source}=size=${width + (width & 1)}x${height + (height & 1)},format=rgba,crop=${width}:${height}:0:0`;
    execFileSync('ffmpeg', ['-loglevel', 'error', '-y', '-f', 'lavfi', '-i', drawn, '-frames:v', '1', file]);
    return file;
  });
  return { files, a: rgbaOf(files[0]), b: rgbaOf(files[1]) };
}

const frameCases = [
  { name: 'defaults', sets: [], position: 12, total: 30 },
  { name: 'pixel pass', sets: ['cellWidth=1', 'cellHeight=1'], position: 8, total: 30 },
  { name: 'bands in the wind', sets: ['bands=1', 'cellWidth=1', 'cellHeight=24', 'wind=230'], position: 15, total: 30 },
  { name: 'gravity and wind', sets: ['gravity=60', 'wind=90', 'delayMap.source=Grad X'], position: 20, total: 30 },
  { name: 'delay read from image B', sets: ['delayMap.source=Red2', 'speedNoise=90'], position: 10, total: 30 },
  { name: 'speed read from image A, reversed order', sets: ['movingXMap.source=Green1', 'orderDownUp=1', 'orderRightLeft=1'], position: 5, total: 30 },
  { name: 'odd cells, last frame', sets: ['cellWidth=7', 'cellHeight=3', 'timelineLinearity=40'], position: 29, total: 30 },
  { name: 'first frame', sets: ['delay=0', 'lifeMinimum=20', 'lifeMaximum=40'], position: 0, total: 10 },
  { name: 'our pictures', sets: ['centerX=256', 'xySpeedDifference=0'], position: 6, total: 12, drawn: [320, 240] },
  { name: 'our pictures, odd size', sets: ['cellWidth=1', 'cellHeight=1', 'delayMap.source=Alpha1'], position: 3, total: 7, drawn: [97, 31] },
  { name: '1280 x 720 pixel pass', sets: ['cellWidth=1', 'cellHeight=1'], position: 8, total: 30, size: [1280, 720] },
];

test('frames equal glimmer render byte for byte', async (t) => {
  for (const c of frameCases) {
    await t.test(c.name, () => {
      const out = join(work, 'frame.png');
      const args = ['render', '--quiet', ...setArgs(c.sets), '--position', String(c.position), '--total', String(c.total)];
      let width = 640, height = 360, a, b;
      if (c.drawn) {
        [width, height] = c.drawn;
        const pair = drawnPair(width, height);
        args.push('--a', pair.files[0], '--b', pair.files[1]);
        ({ a, b } = pair);
      } else {
        if (c.size) [width, height] = c.size;
        args.push('--size', `${width}x${height}`);
        a = g.samplePicture('a', width, height);
        b = g.samplePicture('b', width, height);
      }
      execFileSync(glimmer, [...args, '--out', out]);
      const expected = rgbaOf(out);
      const frame = g.render({ a, b, width, height, settings: withAssignments(c.sets), position: c.position, total: c.total });
      const differing = frame.reduce((n, byte, i) => n + (byte !== expected[i]), 0);
      assert.equal(frame.length, expected.length);
      assert.equal(differing, 0, `${differing} bytes differ`);
    });
  }
});

test('settings files as glimmer settings --out writes them', () => {
  for (const sets of [[], ['gravity=60', 'cellWidth=4'], ['bands=1', 'delayMap.source=Black', 'orderRightLeft=1']]) {
    const file = join(work, 'look.qvx');
    execFileSync(glimmer, ['settings', ...setArgs(sets), '--out', file]);
    const written = g.writeSettingsFile(withAssignments(sets));
    assert.deepEqual(Buffer.from(written), readFileSync(file), sets.join(' '));
    assert.deepEqual(g.readSettingsFile(written).settings, withAssignments(sets));
  }
});

test('a settings file is refused in the plug-in words', () => {
  const good = g.writeSettingsFile(withAssignments(['wind=3']));
  const changed = (at, value) => { const bytes = good.slice(); bytes[at] = value; return bytes; };
  const longer = new Uint8Array(500); longer.set(good); longer.fill(7, 456);
  const cases = [
    [new Uint8Array(0), 'Error reading file!'],
    [good.slice(0, 31), 'Error reading file!'],
    [good.slice(0, 455), 'Error reading file!'],
    [changed(31, 1), 'Not a Scatterweave file!'],
    [changed(0, 'g'.charCodeAt(0)), 'Not a Scatterweave file!'],
    [longer, null],
  ];
  for (const [bytes, message] of cases) {
    const answer = g.readSettingsFile(bytes);
    if (message === null) assert.deepEqual(answer.settings, good.slice(32));
    else assert.deepEqual(answer, { error: message }, `${bytes.length} bytes`);
  }
  assert.match(g.assign(g.defaultSettings(), 'gravty=60').error, /gravity/);
});

test('npm pack gives a package that installs from the file and loads in node', () => {
  const site = new URL('../../build/web/', import.meta.url).pathname;
  const tarball = execFileSync('npm', ['pack', '--silent', '--pack-destination', work, site], { encoding: 'utf8' }).trim();
  const consumer = join(work, 'consumer');
  mkdirSync(consumer, { recursive: true });
  writeFileSync(join(consumer, 'package.json'), '{"type": "module", "private": true}');
  execFileSync('npm', ['install', '--silent', '--no-audit', '--no-fund', join(work, tarball)], { cwd: consumer });
  const script = "import { createGlimmer } from 'glimmerscatterweft'; const g = await createGlimmer(); " +
    'console.log(g.writeSettingsFile(g.defaultSettings()).length)';
  assert.equal(execFileSync('node', ['--input-type=module', '-e', script], { cwd: consumer, encoding: 'utf8' }).trim(), '456');
});
